#include "host/platform.h"
#include "host/profile_int.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::uint32_t hotkeyFrom(const std::string& ini, std::int32_t fallback = 89) {
    return profile::readInt(ini.data(), ini.size(), "SETTINGS", "PROMPTS_HOTKEY", fallback);
}

} // namespace

TEST(Settings, MissingFileSectionKeyOrValueGiveTheDefault) {
    EXPECT_EQ(hotkeyFrom(""), 89u);
    EXPECT_EQ(hotkeyFrom("[OTHER]\nPROMPTS_HOTKEY=70\n"), 89u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nDESTROY_SCENARIO_PROP=0\n"), 89u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=\n"), 89u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY\n"), 89u);
    EXPECT_EQ(hotkeyFrom("PROMPTS_HOTKEY=70\n"), 89u); // before any section
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=\"\"\n"), 89u);
}

TEST(Settings, SectionAndKeyMatchWithoutCaseAndWithSpaces) {
    // Only the letters have a case: Z and z are one, @ and `, [ and { are not.
    const std::string ini = "[S]\nzone=5\nA@=6\nA[=7\n";
    EXPECT_EQ(profile::readInt(ini.data(), ini.size(), "s", "ZONE", 0), 5u);
    EXPECT_EQ(profile::readInt(ini.data(), ini.size(), "S", "a`", 0), 0u);
    EXPECT_EQ(profile::readInt(ini.data(), ini.size(), "S", "a{", 0), 0u);
    EXPECT_EQ(hotkeyFrom("[settings]\nprompts_hotkey=70\n"), 70u);
    EXPECT_EQ(hotkeyFrom("  [Settings]  \r\n   Prompts_Hotkey   =   71   \r\n"), 71u);
    EXPECT_EQ(hotkeyFrom("[ SETTINGS ]\nPROMPTS_HOTKEY=72\n"), 72u);
}

TEST(Settings, NumbersAreConvertedAsWindowsConvertsThem) {
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=+75\n"), 75u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=-1\n"), 0xFFFFFFFFu);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=abc\n"), 0u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=12abc\n"), 12u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=0x1F\n"), 31u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=0X1F\n"), 0u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=0b101\n"), 5u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=0o17\n"), 15u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=\"80\"\n"), 80u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=4294967297\n"), 1u); // wraps
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=7 ; the F key\n"), 7u);
    // Only 29 characters of a value are read.
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=0000000000000000000000000001234\n"), 12u);
}

TEST(Settings, CommentsDuplicatesAndTheFirstSectionOnly) {
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\n;PROMPTS_HOTKEY=5\nPROMPTS_HOTKEY=6\n"), 6u);
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nPROMPTS_HOTKEY=6\nPROMPTS_HOTKEY=7\n"), 6u);
    // A key that is missing from the first SETTINGS section is not looked for in a later one.
    EXPECT_EQ(hotkeyFrom("[SETTINGS]\nX=1\n[OTHER]\n[SETTINGS]\nPROMPTS_HOTKEY=8\n"), 89u);
    EXPECT_EQ(hotkeyFrom("\xEF\xBB\xBF[SETTINGS]\nPROMPTS_HOTKEY=9\n"), 9u);
}

TEST(Settings, TheLinuxReaderTakesTheWindowsPathInTheCurrentDirectory) {
    const ScratchFolder folder("emberlane-settings");
    EXPECT_EQ(GetPrivateProfileIntA("SETTINGS", "PROMPTS_HOTKEY", 89, ".\\Emberlane.ini"), 89u);
    EXPECT_EQ(GetPrivateProfileIntA("SETTINGS", "DESTROY_SCENARIO_PROP", 1, ".\\Emberlane.ini"),
              1u);
    std::ofstream("Emberlane.ini")
        << "[SETTINGS]\r\nPROMPTS_HOTKEY=72\r\nDESTROY_SCENARIO_PROP=0\r\n";
    EXPECT_EQ(GetPrivateProfileIntA("SETTINGS", "PROMPTS_HOTKEY", 89, ".\\Emberlane.ini"), 72u);
    EXPECT_EQ(GetPrivateProfileIntA("SETTINGS", "DESTROY_SCENARIO_PROP", 1, ".\\Emberlane.ini"),
              0u);
}

// A file longer than the reader's buffer, whose last read is a single byte; and the reader
// closes it, as the game runs for hours.
TEST(Settings, TheLinuxReaderReadsTheWholeFileAndClosesIt) {
    const ScratchFolder folder("emberlane-settings-long");
    const std::string ini =
        "[SETTINGS]\n;" + std::string(4067, '-') + "\nPROMPTS_HOTKEY=93"; // 4096 bytes and the 3
    ASSERT_EQ(ini.size(), 4097u);
    { std::ofstream("Emberlane.ini", std::ios::binary) << ini; }
    EXPECT_EQ(GetPrivateProfileIntA("SETTINGS", "PROMPTS_HOTKEY", 89, ".\\Emberlane.ini"), 93u);
#ifdef __linux__
    const auto open = openFileCount();
    for (int i = 0; i < 3; ++i)
        GetPrivateProfileIntA("SETTINGS", "PROMPTS_HOTKEY", 89, ".\\Emberlane.ini");
    EXPECT_EQ(openFileCount(), open);
#endif
}

// Control characters, which a number skips as it skips spaces.
#define CONTROLS_28                                                                                \
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"                                     \
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"

// The same files through GetPrivateProfileIntA: the project's reader on Linux, the system's
// under Wine. Both must give these values.
TEST(Settings, SampleFilesReadAlikeOnLinuxAndWindows) {
    struct Sample {
        const char* text;
        UINT hotkey, prop;
    };
    const Sample samples[] = {
        {"[SETTINGS]\nPROMPTS_HOTKEY=70\nDESTROY_SCENARIO_PROP=0\n", 70, 0},
        {"[SETTINGS]\r\n  PROMPTS_HOTKEY  =   71  \r\n", 71, 1},
        {"[settings]\nprompts_hotkey=+72\ndestroy_scenario_prop=-1\n", 72, 0xFFFFFFFFu},
        {"[SETTINGS]\nPROMPTS_HOTKEY=abc\nDESTROY_SCENARIO_PROP=12abc\n", 0, 12},
        {"[SETTINGS]\nPROMPTS_HOTKEY=0x4A\nDESTROY_SCENARIO_PROP=0X4A\n", 74, 0},
        {"[SETTINGS]\n;PROMPTS_HOTKEY=5\nPROMPTS_HOTKEY=75\nPROMPTS_HOTKEY=76\n", 75, 1},
        {"[SETTINGS]\nDESTROY_SCENARIO_PROP=0\n[SETTINGS]\nPROMPTS_HOTKEY=77\n", 89, 0},
        {"[SETTINGS]\nPROMPTS_HOTKEY=99999999999\nDESTROY_SCENARIO_PROP=4294967297\n", 1215752191,
         1},
        {"[SETTINGS]\nPROMPTS_HOTKEY=\"78\"\nDESTROY_SCENARIO_PROP='0'\n", 78, 0},
        {"\xEF\xBB\xBF[SETTINGS]\nPROMPTS_HOTKEY=79\n", 79, 1},
        {"[SETTINGS]\nPROMPTS_HOTKEY=\nDESTROY_SCENARIO_PROP\n", 89, 1},
        {"[OTHER]\nPROMPTS_HOTKEY=80\n", 89, 1},
        {"[ SETTINGS ]\nPROMPTS_HOTKEY=81\n", 81, 1},
        {"[SETTINGS]\nPROMPTS_HOTKEY=82 ; a comment\n", 82, 1},
        {"[SETTINGS]\rPROMPTS_HOTKEY=83\rDESTROY_SCENARIO_PROP=0\r", 83, 0}, // old Mac line ends
        // The edges of each character rule: quotes of both kinds, white space around the key
        // and inside the quotes, what counts as a digit.
        {"[SETTINGS]\nPROMPTS_HOTKEY='84'\nDESTROY_SCENARIO_PROP=\" 5\"\n", 84, 5},
        {"[SETTINGS]\nPROMPTS_HOTKEY\t=\t86\n\bDESTROY_SCENARIO_PROP=0\n", 86, 1},
        {"[SETTINGS]\nPROMPTS_HOTKEY\x0E=87\nDESTROY_SCENARIO_PROP=!5\n", 89, 0},
        {"[SETTINGS]\nPROMPTS_HOTKEY=0x1:\nDESTROY_SCENARIO_PROP=7@\n", 1, 7},
        {"[SETTINGS]\nPROMPTS_HOTKEY=7`\nDESTROY_SCENARIO_PROP=0x1/\n", 7, 1},
        {"[SETTINGS]\nPROMPTS_HOTKEY=0xaz\nDESTROY_SCENARIO_PROP=0xfG\n", 10, 15},
        {"[SETTINGS]\nPROMPTS_HOTKEY=\"\nDESTROY_SCENARIO_PROP='\n", 0, 0}, // a lone quote stays
        // The old end-of-file mark is white space; the character after it is not.
        {"[SETTINGS]\n\x1APROMPTS_HOTKEY=91\n\x1B"
         "DESTROY_SCENARIO_PROP=0\n",
         91, 1},
        // Every character of a name counts, the first too.
        {"[SETTINGS]\nXROMPTS_HOTKEY=92\nPROMPTS_HOTKEY=93\nXESTROY_SCENARIO_PROP=0\n", 93, 1},
        // A quoted value of 29 characters fills the buffer: its closing quote is cut off with
        // the last digit, which the quote rule then drops. One of 28 keeps all its digits.
        {"[SETTINGS]\nPROMPTS_HOTKEY=\"00000000000000000000000000123\"\n"
         "DESTROY_SCENARIO_PROP=\"0000000000000000000000000123\"\n",
         12, 123},
        // The cut leaves a lone 0 after 28 control characters, which a number skips: it is
        // read as 0, whatever the file holds after the cut.
        {"[SETTINGS]\nPROMPTS_HOTKEY=" CONTROLS_28 "0x1F\nDESTROY_SCENARIO_PROP=" CONTROLS_28
         "0b1\n",
         0, 0},
    };
    const ScratchFolder folder("emberlane-ini-samples");
    int n = 0;
    for (const Sample& s : samples) {
        SCOPED_TRACE(n++);
        std::filesystem::remove("Emberlane.ini");
        { std::ofstream("Emberlane.ini", std::ios::binary) << s.text; }
        EXPECT_EQ(GetPrivateProfileIntA("SETTINGS", "PROMPTS_HOTKEY", 89, ".\\Emberlane.ini"),
                  s.hotkey);
        EXPECT_EQ(GetPrivateProfileIntA("SETTINGS", "DESTROY_SCENARIO_PROP", 1, ".\\Emberlane.ini"),
                  s.prop);
    }
}
