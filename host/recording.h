// A recording of everything the game tells the plug-in, so that a real session can be played
// again, pass for pass, in the stand-in game. Off unless Emberlane.ini asks for it
// (RECORD_SESSION=1); the file, Emberlane.rec, and its format are described in
// docs/recording.md. Recording only observes: with it on, every pass makes the calls it
// makes with it off.
#pragma once

#include "host/platform.h"
#include "prompts/labels.h"

#include <cstdint>

namespace recording {

// True while a recording is being written; read where a value enters the plug-in outside the
// game-call layer.
extern bool on;

// Opens .\Emberlane.rec, writes the settings as read and puts the recorder in front of the
// host's functions. A file that cannot be made leaves the plug-in unrecorded.
void start(UINT hotkey, INT destroyProp);

// What the label file gave, line by line.
void labelLines(const LabelLines& labels);

// What the hotkey test read: the tick count, and the key's last message as the table held it.
void hotkeyTest(std::uint32_t now, std::uint32_t time, std::int32_t isUpNow);

} // namespace recording
