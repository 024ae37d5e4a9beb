#include "emberlane-sim/scene.h"
#include "emberlane-sim/walkthrough.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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
                                     "2.5 key ctrl+y\n"
                                     "2.5 key hotkey\n"
                                     "2.5 language zh-Hant\n"
                                     "3 complete menuPrompt\n"
                                     "4 scenario player WORLD_PLAYER_CAMP_FIRE_SIT\n"
                                     "5 core Tumbleweed stamina 80\n"
                                     "9 end\n",
                                     "camp.scene");
    ASSERT_EQ(parsed.error, "");
    const auto& s = parsed.scene.steps;
    ASSERT_EQ(s.size(), 12u);
    EXPECT_EQ(s[1].atMs, 1500);
    EXPECT_EQ(s[1].y, 200.5f);
    EXPECT_EQ(s[1].line, 4);
    EXPECT_EQ(s[2].subject, "Tumbleweed");
    EXPECT_EQ(s[3].key.code, 0x74u);
    EXPECT_EQ(s[4].key.code, 0x59u);
    EXPECT_EQ(s[5].key.code, 0x59u);
    EXPECT_EQ(s[5].key.modifiers, keys::ctrl);
    EXPECT_TRUE(s[6].hotkey);
    EXPECT_EQ(s[7].value, 9); // the game's number for Chinese (Traditional)
    EXPECT_EQ(s[10].value, 80);
    EXPECT_EQ(s[11].action, scene::Action::End);
}

TEST(SceneFile, EachKindOfBadLineIsNamedWithItsFileAndLine) {
    EXPECT_EQ(errorOf("0 walk\n1 jump\n"),
              "camp.scene:2: unknown action 'jump' (expected stand, wade, walk, draw, holster, "
              "combat, press, release, key, keyboard, complete, horse, target, scenario, core, "
              "language, load or end)");
    EXPECT_EQ(errorOf("0 stand 1 two 3 heading 4\n"), "camp.scene:1: bad number 'two' for y");
    EXPECT_EQ(errorOf("5 walk\n4 holster\n"),
              "camp.scene:2: time 4 goes back before the previous line's 5000ms");
    EXPECT_EQ(errorOf("soon walk\n"),
              "camp.scene:1: bad time 'soon' (expected seconds, like 12.5 or 12500ms)");
    EXPECT_EQ(errorOf("0 target Tumbleweed\n"),
              "camp.scene:1: unknown horse 'Tumbleweed' (no horse has come in yet: a 'horse NAME "
              "X Y Z heading H' line brings one in)");
    EXPECT_EQ(errorOf("0 key WHEEL\n"),
              "camp.scene:1: bad key 'WHEEL' (expected a virtual-key code, a key name such as F5 "
              "or Ctrl+Y, or hotkey)");
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

TEST(SceneFile, AMisspeltNameIsRefusedWithTheClosestKnownOne) {
    const std::string horse = "0 horse Tumbleweed 103 200 30 heading 180\n";
    EXPECT_EQ(errorOf(horse + "1 scenario player WORLD_PLAYER_CAMP_FIRE_SITT\n"),
              "camp.scene:2: unknown scenario 'WORLD_PLAYER_CAMP_FIRE_SITT' (did you mean "
              "WORLD_PLAYER_CAMP_FIRE_SIT?)");
    EXPECT_EQ(errorOf(horse + "1 scenario Tumbleweed WORLD_ANIMAL_HORSE_GRAZZING\n"),
              "camp.scene:2: unknown scenario 'WORLD_ANIMAL_HORSE_GRAZZING' (did you mean "
              "WORLD_ANIMAL_HORSE_GRAZING?)");
    // A name cut short is near the whole name.
    EXPECT_EQ(errorOf("0 draw WEAPON_REVOLVR\n"),
              "camp.scene:1: unknown weapon 'WEAPON_REVOLVR' (did you mean "
              "WEAPON_REVOLVER_CATTLEMAN?)");
    EXPECT_EQ(errorOf("0 complete sitactivityprompt\n"),
              "camp.scene:1: unknown prompt 'sitactivityprompt' (did you mean sitActivityPrompt?)");
    EXPECT_EQ(errorOf("0 release INPUT_FRONTEND_NAV_DWN\n"),
              "camp.scene:1: unknown control 'INPUT_FRONTEND_NAV_DWN' (did you mean "
              "INPUT_FRONTEND_NAV_DOWN?)");
    EXPECT_EQ(errorOf(horse + "1 target Tumbleweeed\n"),
              "camp.scene:2: unknown horse 'Tumbleweeed' (did you mean Tumbleweed?)");
    // Nothing near: where the names are listed.
    EXPECT_EQ(errorOf("0 press INPUT_JUMP\n"),
              "camp.scene:1: unknown control 'INPUT_JUMP' (the names a scene can use are listed "
              "in emberlane-sim/scene.h)");
    // A known scenario on the wrong one would test nothing.
    EXPECT_EQ(errorOf(horse + "1 scenario player WORLD_ANIMAL_HORSE_GRAZING\n"),
              "camp.scene:2: 'WORLD_ANIMAL_HORSE_GRAZING' is a horse's scenario, not the player's");
    EXPECT_EQ(errorOf(horse + "1 scenario Tumbleweed WORLD_HUMAN_SIT_GROUND\n"),
              "camp.scene:2: 'WORLD_HUMAN_SIT_GROUND' is the player's scenario, not a horse's");
}

namespace {
std::string sourceFile(const std::string& path) {
    std::ifstream file(std::string(EMBERLANE_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
} // namespace

TEST(SceneFile, TheFormatListsEveryNameOfTheTables) {
    const std::string header = sourceFile("emberlane-sim/scene.h");
    const std::string begin = "// names begin\n", end = "// names end\n";
    const std::size_t from = header.find(begin), to = header.find(end);
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    EXPECT_EQ(header.substr(from + begin.size(), to - from - begin.size()),
              scene::documentedNames())
        << "A table of names changed: put the text above between the 'names begin' and 'names "
           "end' lines of emberlane-sim/scene.h.";
}

TEST(SceneFile, TheWalkthroughsLinesAreThoseOfItsHeader) {
    const scene::Parsed parsed =
        scene::parse(walkthrough::scene, walkthrough::file, walkthrough::firstLine);
    ASSERT_EQ(parsed.error, "");
    std::vector<std::string> lines;
    std::istringstream header(sourceFile(walkthrough::file));
    for (std::string line; std::getline(header, line);) lines.push_back(line);
    for (const scene::Step& step : parsed.scene.steps) {
        ASSERT_LE(step.line, static_cast<int>(lines.size()));
        EXPECT_NE(lines[static_cast<std::size_t>(step.line - 1)].find(step.text), std::string::npos)
            << step.line << ": " << step.text;
    }
}
