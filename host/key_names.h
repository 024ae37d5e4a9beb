// Keys by the names players know them by, as PROMPTS_HOTKEY may give them ("Y", "F5",
// "Ctrl+Y"), turned into Windows virtual-key codes.
#pragma once

#include "host/hotkey.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace keys {

struct ModifierKey {
    std::uint8_t bit;
    std::string_view name;
    std::uint32_t code; // the virtual key whose messages say whether it is held
};
inline constexpr ModifierKey modifierKeys[] = {
    {ctrl, "Ctrl", 0x11}, {shift, "Shift", 0x10}, {alt, "Alt", 0x12}};

// Keys named one by one; the letters A-Z, the digits 0-9, F1-F24 and NUMPAD0-NUMPAD9 follow
// from their codes. Where two names mean one key, the first is the one shown.
struct NamedKey {
    std::string_view name;
    std::uint32_t code;
};
// Defined once, in key_names.cpp: every part of the program that names keys reads one table.
std::span<const NamedKey> namedKeys();

inline constexpr std::uint32_t firstFunctionKey = 0x70, functionKeys = 24; // F1-F24
inline constexpr std::uint32_t firstNumpadKey = 0x60;                      // NUMPAD0-NUMPAD9

// Text that names a key, not a number: it begins with a letter. PROMPTS_HOTKEY is read as a
// name only then, so that every number means what it always has.
inline bool isName(std::string_view text) {
    return !text.empty() &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

// One key's code by its name, case aside; 0 for a name no key has.
std::uint32_t codeOfName(std::string_view name);

// A modifier by its name, case aside (Ctrl, Control, Shift, Alt): its bit, or 0.
std::uint8_t modifierOf(std::string_view name);

// A key's name, after any modifiers joined by '+' ("ctrl+y", "Shift + F5"); false for text
// that names no key.
bool parseHotkey(std::string_view text, Hotkey& hotkey);

} // namespace keys
