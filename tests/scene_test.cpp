#include "emberlane-sim/scene.h"

#include <gtest/gtest.h>

namespace {
std::string errorOf(const std::string& text) { return scene::parse(text, "camp.scene").error; }
} // namespace

TEST(SceneFile, AGoodSceneReadsInThePlayersTerms) {
    const auto parsed = scene::parse("# camp\n"
                                     "0 horse Tumbleweed 103 200 30 heading 180\n"
                                     "\n"
                                     "1.5 stand 100 200.5 30 heading 90   # by the fire\n"
                                     "1500ms wade in Tumbleweed\n"
                                     "2s key F5\n"
                                     "2s key 0x59\n"
                                     "3 complete menuPrompt\n"
                                     "4 scenario player WORLD_PLAYER_CAMP_FIRE_SIT\n"
                                     "5 core Tumbleweed stamina 80\n"
                                     "9 end\n",
                                     "camp.scene");
    ASSERT_EQ(parsed.error, "");
    const auto& s = parsed.scene.steps;
    ASSERT_EQ(s.size(), 9u);
    EXPECT_EQ(s[1].atMs, 1500);
    EXPECT_EQ(s[1].y, 200.5f);
    EXPECT_EQ(s[1].line, 4);
    EXPECT_EQ(s[2].subject, "Tumbleweed");
    EXPECT_EQ(s[3].key, 0x74u);
    EXPECT_EQ(s[4].key, 0x59u);
    EXPECT_EQ(s[7].value, 80);
    EXPECT_EQ(s[8].action, scene::Action::End);
}

TEST(SceneFile, EachKindOfBadLineIsNamedWithItsFileAndLine) {
    EXPECT_EQ(errorOf("0 walk\n1 jump\n"),
              "camp.scene:2: unknown action 'jump' (expected stand, wade, walk, draw, holster, "
              "combat, press, release, key, keyboard, complete, horse, target, scenario, core or "
              "end)");
    EXPECT_EQ(errorOf("0 stand 1 two 3 heading 4\n"), "camp.scene:1: bad number 'two' for y");
    EXPECT_EQ(errorOf("5 walk\n4 holster\n"),
              "camp.scene:2: time 4 goes back before the previous line's 5000ms");
    EXPECT_EQ(errorOf("0 complete fishingPrompt\n"),
              "camp.scene:1: unknown prompt 'fishingPrompt'");
    EXPECT_EQ(errorOf("0 press INPUT_JUMP\n"), "camp.scene:1: unknown control 'INPUT_JUMP'");
    EXPECT_EQ(errorOf("soon walk\n"),
              "camp.scene:1: bad time 'soon' (expected seconds, like 12.5 or 12500ms)");
    EXPECT_EQ(errorOf("0 target Tumbleweed\n"),
              "camp.scene:1: unknown horse 'Tumbleweed' (bring it in first with 'horse "
              "Tumbleweed X Y Z heading H')");
    EXPECT_EQ(errorOf("0 key WHEEL\n"),
              "camp.scene:1: bad key 'WHEEL' (expected a virtual-key code or a key name)");
    EXPECT_EQ(errorOf("0 stand 1 2 3 4\n"), "camp.scene:1: expected 'stand X Y Z heading H'");
    EXPECT_EQ(errorOf("0\n"), "camp.scene:1: expected an action after the time");
}

TEST(SceneFile, OddInputIsRefusedNotTrusted) {
    EXPECT_NE(errorOf("nan walk\n"), "");
    EXPECT_NE(errorOf("-1 walk\n"), "");
    EXPECT_NE(errorOf("1e300 walk\n"), "");
    EXPECT_NE(errorOf("0 stand inf 0 0 heading 0\n"), "");
    EXPECT_NE(errorOf("0 key 4294967296\n"), "");
    EXPECT_EQ(errorOf("0 key 4294967295\n"), ""); // the stand-in game takes any 32-bit code
    EXPECT_EQ(errorOf(std::string("0 walk\r\n1 holster\r\n")), "");
}
