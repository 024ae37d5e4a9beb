// The simulator's timeline: each change under its cause, and the settings as the plug-in
// reads them.
#include "emberlane-sim/session.h"
#include "emberlane-sim/settings_file.h"
#include "emberlane-sim/timeline.h"
#include "play.h"

namespace {

observer::History playScene(const std::string& text) {
    const scene::Parsed parsed = scene::parse(text, "test.scene");
    EXPECT_EQ(parsed.error, "");
    session::Settings settings;
    settings.printEvents = false;
    return session::play(parsed.scene, settings);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

} // namespace

TEST(Timeline, AChangeTheSceneMakesIsTheScenesAndThePluginsOwnFollowIt) {
    // The horse is set drinking at 98 just before a pass: the scene's change, then the
    // plug-in's two refill points, its overpower, and the game wearing that off in the very
    // frame in which the plug-in overpowers it again (a look once a frame would see neither).
    const observer::History r = playScene("0 horse Tumbleweed 103 200 30 heading 180\n"
                                          "0 target Tumbleweed\n"
                                          "1 core Tumbleweed stamina 98\n"
                                          "1 scenario Tumbleweed WORLD_ANIMAL_HORSE_DRINK_GROUND\n"
                                          "40 end\n");
    std::vector<std::string> changes;
    for (const observer::Event& e : r.events)
        if (e.what.rfind("Tumbleweed", 0) == 0)
            changes.push_back(std::to_string(e.ms) + " " + e.what + ": " + e.detail + " [" +
                              std::to_string(static_cast<int>(e.cause)) + "]");
    const std::string plugin = "[0]", scene = "[1]", game = "[2]";
    EXPECT_THAT(changes,
                ElementsAre("1023 Tumbleweed stamina: 100 -> 98 " + scene,
                            "1023 Tumbleweed starts: WORLD_ANIMAL_HORSE_DRINK_GROUND " + scene,
                            "1056 Tumbleweed stamina: 98 -> 100, a point at a time until "
                            "00:03.069 " +
                                plugin,
                            "5082 Tumbleweed stamina: overpowered " + plugin,
                            "35112 Tumbleweed stamina: overpower worn off " + game,
                            "35112 Tumbleweed stamina: overpowered " + plugin));

    // The printed line says whose change it was; the plug-in's carry nothing extra.
    const std::vector<std::string> lines = linesOf(timeline::text(r));
    EXPECT_THAT(lines,
                ::testing::Contains("00:01.023  scene              core Tumbleweed stamina 98"));
    EXPECT_THAT(lines,
                ::testing::Contains("00:01.023  Tumbleweed stamina 100 -> 98  (by the scene)"));
    EXPECT_THAT(lines, ::testing::Contains("00:05.082  Tumbleweed stamina overpowered"));
    EXPECT_THAT(lines, ::testing::Contains(
                           "00:35.112  Tumbleweed stamina overpower worn off  (by the game)"));
}

TEST(Timeline, TheHeaderSaysWhyAHotkeyNeverFires) {
    auto hotkeyLine = [](const std::string& value) {
        const std::string ini = "[SETTINGS]\nPROMPTS_HOTKEY=" + value + "\n";
        return linesOf(settings_file::header(ini, "MY.ini")).at(1);
    };
    EXPECT_EQ(hotkeyLine("75"), "hotkey             75 (K)");
    EXPECT_EQ(hotkeyLine("0x74"), "hotkey             116 (F5)");
    EXPECT_EQ(hotkeyLine("0"), "hotkey             0: no key has this code");
    EXPECT_EQ(hotkeyLine("F5"), "hotkey             F5 (116)");
    EXPECT_EQ(hotkeyLine("ctrl+y"), "hotkey             Ctrl+Y (89 with Ctrl)");
    EXPECT_EQ(hotkeyLine("Ctrl + Alt + K"), "hotkey             Ctrl+Alt+K (75 with Ctrl and Alt)");
    EXPECT_EQ(hotkeyLine("\"Shift+F5\""), "hotkey             Shift+F5 (116 with Shift)");
    EXPECT_EQ(hotkeyLine("F55"),
              "hotkey             F55: no key is named F55: off (did you mean F5?)");
    EXPECT_EQ(hotkeyLine("Crtl+Y"),
              "hotkey             Crtl+Y: no key is named Crtl: off (did you mean Ctrl?)");
    EXPECT_EQ(hotkeyLine("300"), "hotkey             300: 255 or more: off (the satchel prompt "
                                 "still opens the menu)");
    EXPECT_EQ(hotkeyLine("254"), "hotkey             254 (a key without a name here)");

    EXPECT_EQ(settings_file::header(std::nullopt, ""),
              "settings           no Emberlane.ini, so the defaults\n"
              "hotkey             89 (Y)\n"
              "prop discard       on\n");
    EXPECT_EQ(settings_file::header("[SETTINGS]\nDESTROY_SCENARIO_PROP=0\n", "MY.ini"),
              "settings           MY.ini, as the plug-in reads it\n"
              "hotkey             89 (Y)\n"
              "prop discard       off (the prop stays in hand)\n");
}

TEST(Timeline, TheHeaderNamesTheKeysThePluginNeverReads) {
    // Only the first [SETTINGS] counts, its name in any case and with spaces.
    EXPECT_EQ(settings_file::header("\xEF\xBB\xBF; Emberlane\r\nPROMPTS_HOTKEY=75\r\n"
                                    "[KEYS]\nDESTROY_SCENARIO_PROP=0\n"
                                    "[ settings ]\nPROMPTS_HOTKEY=76\n; PROMPTS_HOTKEY=80\n"
                                    "[SETTINGS]\nPROMPTS_HOTKEY=77\n",
                                    "MY.ini"),
              "settings           MY.ini, as the plug-in reads it\n"
              "hotkey             76 (L)\n"
              "prop discard       on\n"
              "ignored key        PROMPTS_HOTKEY (line 2, before any section): the plug-in reads "
              "only the first [SETTINGS]\n"
              "ignored key        DESTROY_SCENARIO_PROP (line 4, in [KEYS]): the plug-in reads "
              "only the first [SETTINGS]\n"
              "ignored key        PROMPTS_HOTKEY (line 9, in a second [SETTINGS]): the plug-in "
              "reads only the first [SETTINGS]\n");
    // Inside it: a key the plug-in has no use for, with the closest it reads, and a key's
    // second line.
    EXPECT_EQ(settings_file::header("[SETTINGS]\nPROMPT_HOTKEY=116\nDESTROY_SCENARIO_PROP=0\n"
                                    "destroy_scenario_prop=1\n",
                                    "MY.ini"),
              "settings           MY.ini, as the plug-in reads it\n"
              "hotkey             89 (Y)\n"
              "prop discard       off (the prop stays in hand)\n"
              "unknown key        PROMPT_HOTKEY (line 2): the plug-in reads no such key (did you "
              "mean PROMPTS_HOTKEY?)\n"
              "ignored key        destroy_scenario_prop (line 4): only its first line in "
              "[SETTINGS] counts\n");
}

TEST(Timeline, AtMostSoManyLinesAndTheRestCounted) {
    observer::History h;
    for (std::size_t i = 0; i < timeline::mostLines + 5; ++i)
        h.events.push_back({static_cast<std::int64_t>(i), "player stamina", "99 -> 100"});
    const auto lines = linesOf(timeline::text(h));
    ASSERT_EQ(lines.size(), timeline::mostLines + 1);
    EXPECT_EQ(lines.back().substr(11), "timeline           5 more lines left out: a timeline "
                                       "shows at most 20000");
}
