// Keys in the simulator's words: a scene's 'key' line, and the hotkey as the settings header
// shows it. The names are the plug-in's own (host/key_names.h).
#pragma once

#include "host/key_names.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace keys {

// A key as a scene may press it: a name with any modifiers ("Ctrl+Y"), or a virtual-key code
// in decimal or 0x hex, without modifiers; false for anything else.
bool fromText(std::string_view text, Hotkey& key);

// The name a key is shown by ("Y", "F5", "SPACE"); empty for a code no named key sends.
std::string nameOf(std::uint32_t code);
// A key with its modifiers: "Ctrl+Y"; the code when the key has no name.
std::string nameOf(const Hotkey& key);
// A key as the timeline shows it: its code and name, "89 (Y)", or with its modifiers
// "Ctrl+Y (89 with Ctrl)".
std::string describe(const Hotkey& key);
// The modifiers in words: "Ctrl", "Ctrl and Alt".
std::string modifiersOf(std::uint8_t modifiers);

// Every name a key can be given by, modifiers included, for the closest to a misspelt one.
std::vector<std::string> allNames();

// False for a code that no key of a keyboard sends, so that the host's keyboard handler never
// receives it: 0, the mouse buttons, codes Windows leaves unassigned, and 255 or more.
bool keyboardSends(std::uint32_t code);

// The working hotkey a misspelt one likeliest means ("Ctrl+5" for Ctrl+53, "NUMPAD5" for
// NUM5, "F10" for F0); "" when none is close.
std::string likeliest(std::string_view written);

// What the plug-in's hotkey test made of a release of its key at tick `released`, read at tick
// `now`: "" when the test saw it (within 100 ms, unsigned as the test reads the tick count);
// else why not, the script having waited in its pass or not.
std::string unseen(std::uint32_t released, std::uint32_t now, bool scriptWaited);

} // namespace keys
