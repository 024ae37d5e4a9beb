#include "host/key_names.h"

#include "host/ascii.h"

namespace keys {
namespace {

constexpr NamedKey table[] = {
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

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A plain number of one or two digits without a leading zero; 0 for anything else.
std::uint32_t smallNumber(std::string_view s) {
    if (s.empty() || s.size() > 2 || s[0] == '0') return 0;
    std::uint32_t n = 0;
    for (char c : s) {
        if (!isDigit(c)) return 0;
        n = n * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return n;
}

} // namespace

std::span<const NamedKey> namedKeys() { return table; }

std::uint8_t modifierOf(std::string_view name) {
    for (const ModifierKey& m : modifierKeys)
        if (equalNoCase(name, m.name)) return m.bit;
    return equalNoCase(name, "CONTROL") ? ctrl : 0;
}

std::uint32_t codeOfName(std::string_view name) {
    if (name.size() == 1) {
        const char c = upper(name[0]);
        if ((c >= 'A' && c <= 'Z') || isDigit(c)) return static_cast<unsigned char>(c);
    }
    if (equalNoCase(name.substr(0, 1), "F")) {
        const std::uint32_t n = smallNumber(name.substr(1));
        if (n >= 1 && n <= functionKeys) return firstFunctionKey + n - 1;
    }
    if (name.size() == 7 && equalNoCase(name.substr(0, 6), "NUMPAD") && isDigit(name[6]))
        return firstNumpadKey + static_cast<std::uint32_t>(name[6] - '0');
    for (const NamedKey& key : table)
        if (equalNoCase(name, key.name)) return key.code;
    return 0;
}

bool parseHotkey(std::string_view text, Hotkey& hotkey) {
    Hotkey read;
    for (std::size_t plus; (plus = text.find('+')) != std::string_view::npos;
         text.remove_prefix(plus + 1)) {
        const std::uint8_t modifier = modifierOf(trimmed(text.substr(0, plus)));
        if (!modifier) return false;
        read.modifiers |= modifier;
    }
    read.code = codeOfName(trimmed(text));
    if (!read.code) return false;
    hotkey = read;
    return true;
}

} // namespace keys
