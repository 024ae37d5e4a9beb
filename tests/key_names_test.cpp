// The names PROMPTS_HOTKEY takes, against the Windows virtual-key codes those keys send: a name
// read as the wrong code is a key that never opens the menu, or one that clashes.
#include "host/key_names.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

keys::Hotkey parsed(const std::string& text) {
    keys::Hotkey key{0xDEAD, 0xFF};
    EXPECT_TRUE(keys::parseHotkey(text, key)) << text;
    return key;
}

bool refused(const std::string& text) {
    keys::Hotkey key;
    return !keys::parseHotkey(text, key);
}

} // namespace

TEST(KeyNames, EachNameIsTheCodeItsKeySends) {
    const std::pair<const char*, std::uint32_t> codes[] = {
        {"A", 0x41},         {"Y", 0x59},        {"z", 0x5A},          {"0", 0x30},
        {"9", 0x39},         {"F1", 0x70},       {"f5", 0x74},         {"F12", 0x7B},
        {"F13", 0x7C},       {"F24", 0x87},      {"NUMPAD0", 0x60},    {"numpad9", 0x69},
        {"BACKSPACE", 0x08}, {"TAB", 0x09},      {"ENTER", 0x0D},      {"Return", 0x0D},
        {"SHIFT", 0x10},     {"ctrl", 0x11},     {"CONTROL", 0x11},    {"ALT", 0x12},
        {"PAUSE", 0x13},     {"CAPSLOCK", 0x14}, {"ESCAPE", 0x1B},     {"Esc", 0x1B},
        {"SPACE", 0x20},     {"PAGEUP", 0x21},   {"PgUp", 0x21},       {"PAGEDOWN", 0x22},
        {"PGDN", 0x22},      {"END", 0x23},      {"HOME", 0x24},       {"LEFT", 0x25},
        {"UP", 0x26},        {"RIGHT", 0x27},    {"DOWN", 0x28},       {"PRINTSCREEN", 0x2C},
        {"INSERT", 0x2D},    {"Ins", 0x2D},      {"DELETE", 0x2E},     {"Del", 0x2E},
        {"MULTIPLY", 0x6A},  {"ADD", 0x6B},      {"SUBTRACT", 0x6D},   {"DECIMAL", 0x6E},
        {"DIVIDE", 0x6F},    {"NUMLOCK", 0x90},  {"SCROLLLOCK", 0x91}, {"a", 0x41},
    };
    for (const auto& [name, code] : codes) {
        EXPECT_EQ(keys::codeOfName(name), code) << name;
        const keys::Hotkey key = parsed(name);
        EXPECT_EQ(key.code, code) << name;
        EXPECT_EQ(key.modifiers, 0) << name;
    }
    for (const char* none :
         {"",  "F0", "F25", "F05", "F1x", "FF", "NUMPAD", "NUMPAD10", "NUMPADX", "SPACEBAR", "YY",
          "É", "1A", "/",   ":",   "@",   "[",  "F1/",    "F1:",      "NUMPAD/", "NUMPAD:"})
        EXPECT_EQ(keys::codeOfName(none), 0u) << none;
    // 2^32 + 1, which a count of every digit would wrap round to F1.
    EXPECT_EQ(keys::codeOfName("F4294967297"), 0u);
}

TEST(KeyNames, ModifiersComeFirstJoinedByPlusInAnyCaseWithSpaces) {
    // Each is held as its key's messages say: VK_CONTROL, VK_SHIFT, VK_MENU.
    EXPECT_EQ(keys::modifierKeys[0].code, 0x11u);
    EXPECT_EQ(keys::modifierKeys[1].code, 0x10u);
    EXPECT_EQ(keys::modifierKeys[2].code, 0x12u);
    EXPECT_EQ(parsed("Ctrl+Y").modifiers, keys::ctrl);
    EXPECT_EQ(parsed("Control+Y").modifiers, keys::ctrl);
    EXPECT_EQ(parsed("shift+F5").modifiers, keys::shift);
    EXPECT_EQ(parsed("ALT+K").modifiers, keys::alt);
    const keys::Hotkey all = parsed(" Ctrl +\tShift\t+ Alt + HOME ");
    EXPECT_EQ(all.modifiers, keys::ctrl | keys::shift | keys::alt);
    EXPECT_EQ(all.code, 0x24u);
    EXPECT_EQ(parsed("Ctrl+Ctrl+Y").modifiers, keys::ctrl);
    const keys::Hotkey modifierAsKey = parsed("Ctrl+Shift");
    EXPECT_EQ(modifierAsKey.code, 0x10u);
    EXPECT_EQ(modifierAsKey.modifiers, keys::ctrl);
    for (const char* bad : {"Ctrl+", "+Y", "Y+Ctrl", "Ctrl++Y", "Crtl+Y", "Ctrl+Yy", "Ctrl Y"})
        EXPECT_TRUE(refused(bad)) << bad;
    // A refused text leaves the key as it was.
    keys::Hotkey key{89, 0};
    keys::parseHotkey("Ctrl+Nothing", key);
    EXPECT_EQ(key.code, 89u);
    EXPECT_EQ(key.modifiers, 0);
}

TEST(KeyNames, OnlyTextThatBeginsWithALetterIsAName) {
    for (const char* name : {"Y", "y", "F5", "Ctrl+5", "A", "Z", "a", "z"})
        EXPECT_TRUE(keys::isName(name));
    for (const char* number : {"", "89", "0x59", " Y", "+5", "-1", "'Y'", "@", "[", "`", "{"})
        EXPECT_FALSE(keys::isName(number)) << number;
}
