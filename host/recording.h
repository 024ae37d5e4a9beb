// A recording of everything the game tells the plug-in, so that a real session can be played
// again, pass for pass, in the stand-in game. Off unless Emberlane.ini asks for it
// (RECORD_SESSION=1); the file, Emberlane.rec, and its format are described in
// docs/recording.md. Recording only observes: with it on, every pass makes the calls it
// makes with it off.
#pragma once

#include "host/keyboard.h"
#include "host/platform.h"
#include "prompts/labels.h"

#include <cstddef>
#include <cstdint>

namespace recording {

// True while a recording is being written; read where a value enters the plug-in outside the
// game-call layer.
extern bool on;

// Opens .\Emberlane.rec, writes the settings as read and puts the recorder in front of the
// host's functions. A file that cannot be made leaves the plug-in unrecorded.
void start(UINT hotkey, std::uint8_t modifiers, INT destroyProp);

// What the label file gave, line by line.
void labelFile(const LabelLines& labels);
// There was no label file: the labels are the built-in ones of the language the game names.
void builtInLabels();

// What the hotkey test read: the tick count, the key's last message as the table held it, and
// the records of the modifiers it asked about, in the order of keys::modifierKeys.
void hotkeyTest(std::uint32_t now, KeyRead hotkey, const KeyRead* modifiers, std::size_t count);

} // namespace recording
