#include "prompts/labels.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

// Emberlane.dat in a folder of its own, which is the current one while the test runs.
struct LabelFile : ::testing::Test {
    ScratchFolder folder{"emberlane-labels"};
    static void write(const std::string& text) {
        std::ofstream("Emberlane.dat", std::ios::binary) << text;
    }
};

TEST_F(LabelFile, LinesEndOnlyAtLineFeedsWhateverElseALabelHolds) {
    std::string text = "K=" + std::string(12, '\t') + std::string(12, '\v') + "x\n";
    for (int i = 2; i <= 10; ++i) text += "K=" + std::to_string(i) + "\n";
    write(text);
    const LabelLines labels = readLabelFile();
    EXPECT_EQ(labels[0], std::string(12, '\t') + std::string(12, '\v') + "x");
    EXPECT_EQ(labels[9], "10");
}

#ifdef __linux__
// The file is closed once read: the game runs for hours, and a player may edit the file.
TEST_F(LabelFile, ReadingItLeavesNothingOpen) {
    write("1=Wash\n2=Sit\n");
    const auto open = openFileCount();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(readLabelFile()[1], "Sit");
    EXPECT_EQ(openFileCount(), open);
}
#endif
