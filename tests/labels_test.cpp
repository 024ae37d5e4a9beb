#include "prompts/labels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#ifdef __linux__
#include <unistd.h>
#endif

namespace {
LabelLines parse(const std::string& text) { return parseLabels(text.data(), text.size()); }
} // namespace

TEST(Labels, KeyEqualsTextGivesTheTextAlone) {
    const LabelLines l = parse("WASH=Wash your face\nSIT=Sit down\n");
    EXPECT_EQ(l[0], "Wash your face");
    EXPECT_EQ(l[1], "Sit down");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(l[9], "");
}

TEST(Labels, OnlyTheFirstEqualsSplitsAndNothingIsTrimmed) {
    const LabelLines l = parse("A=b=c\n=rest\nempty=\nno equals here\n K = spaced \t\n");
    EXPECT_EQ(l[0], "b=c");
    EXPECT_EQ(l[1], "rest");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(l[3], "no equals here");
    EXPECT_EQ(l[4], " spaced \t");
}

TEST(Labels, CrLfAndLfReadAlikeAndALoneCrStays) {
    EXPECT_EQ(parse("a=1\r\nb=2\r\n"), parse("a=1\nb=2\n"));
    EXPECT_EQ(parse("a=1\r")[0], "1\r"); // no line feed after it: not a line end
    EXPECT_EQ(parse("a=x\ry\n")[0], "x\ry");
}

TEST(Labels, AByteOrderMarkStaysPartOfLineOne) {
    EXPECT_EQ(parse("\xEF\xBB\xBFWASH=Wash")[0], "Wash");
    EXPECT_EQ(parse("\xEF\xBB\xBFWash")[0], "\xEF\xBB\xBFWash");
}

TEST(Labels, TenLinesAreReadWholeAndTheEleventhIgnored) {
    std::string text;
    for (int i = 1; i <= 11; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const std::string longLine(100000, 'x');
    text.insert(0, "L=" + longLine + "\n");
    const LabelLines l = parse(text);
    EXPECT_EQ(l[0], longLine);
    EXPECT_EQ(l[9], "9");
    EXPECT_EQ(parse("last=no line feed")[0], "no line feed");
}

#ifdef __linux__
// The file is closed once read: the game runs for hours, and a player may edit the file.
TEST(Labels, ReadingTheFileLeavesNothingOpen) {
    namespace fs = std::filesystem;
    const fs::path before = fs::current_path();
    const fs::path dir =
        fs::temp_directory_path() / ("emberlane-labels-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "Emberlane.dat") << "1=Wash\n2=Sit\n";
    fs::current_path(dir);
    auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
    };
    const auto open = openFiles();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(readLabelFile()[1], "Sit");
    EXPECT_EQ(openFiles(), open);
    fs::current_path(before);
    fs::remove_all(dir);
}
#endif
