// Keys by the names players know them by, as PROMPTS_HOTKEY may give them ("Y", "F5",
// "Ctrl+Y"), turned into Windows virtual-key codes.
#pragma once

#include <cstdint>
#include <string_view>

namespace keys {

// The modifiers a hotkey may ask to be held, as bits, in this order.
enum Modifier : std::uint8_t { ctrl = 1, shift = 2, alt = 4 };
inline constexpr std::uint8_t allModifiers = ctrl | shift | alt;

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
inline constexpr NamedKey namedKeys[] = {
    {"BACKSPACE", 0x08}, {"TAB", 0x09},      {"ENTER", 0x0D},      {"RETURN", 0x0D},
    {"SHIFT", 0x10},     {"CTRL", 0x11},     {"CONTROL", 0x11},    {"ALT", 0x12},
    {"PAUSE", 0x13},     {"CAPSLOCK", 0x14}, {"ESCAPE", 0x1B},     {"ESC", 0x1B},
    {"SPACE", 0x20},     {"PAGEUP", 0x21},   {"PGUP", 0x21},       {"PAGEDOWN", 0x22},
    {"PGDN", 0x22},      {"END", 0x23},      {"HOME", 0x24},       {"LEFT", 0x25},
    {"UP", 0x26},        {"RIGHT", 0x27},    {"DOWN", 0x28},       {"PRINTSCREEN", 0x2C},
    {"INSERT", 0x2D},    {"INS", 0x2D},      {"DELETE", 0x2E},     {"DEL", 0x2E},
    {"MULTIPLY", 0x6A},  {"ADD", 0x6B},      {"SUBTRACT", 0x6D},   {"DECIMAL", 0x6E},
    {"DIVIDE", 0x6F},    {"NUMLOCK", 0x90},  {"SCROLLLOCK", 0x91},
};

inline constexpr std::uint32_t firstFunctionKey = 0x70, functionKeys = 24; // F1-F24
inline constexpr std::uint32_t firstNumpadKey = 0x60;                      // NUMPAD0-NUMPAD9

struct Hotkey {
    std::uint32_t code = 0;
    std::uint8_t modifiers = 0;
};

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
