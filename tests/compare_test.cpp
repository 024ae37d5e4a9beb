// Two builds compared game by game: a build against itself is identical everywhere, and a
// build with one changed wait differs first exactly where that wait is made.
#include "emberlane-sim/compare.h"
#include "emberlane-sim/passes.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/walkthrough.h"
#include "play.h"

namespace {

compare::Game walkthroughGame() {
    const scene::Parsed parsed = scene::parse(walkthrough::scene, "walkthrough");
    EXPECT_EQ(parsed.error, "");
    return {"walkthrough", parsed.scene, 0, 0};
}

// Found apart from the tool: the walkthrough played step by step, and the pass and game time
// of its first 3000 ms wait, the exit of the first activity.
std::pair<int, std::int64_t> firstExitWait(const compare::Game& game) {
    Sim sim;
    session::Cast cast = session::castOf(sim);
    passes::Counter counter;
    std::pair<int, std::int64_t> found{-1, -1};
    sim.trace = [&](const sim::Call& c) {
        counter.take(c);
        if (found.first < 0 && c.kind == sim::Call::Wait && c.hash == 3000)
            found = {counter.number, sim.host.elapsedMs};
    };
    for (const scene::Step& step : game.scene.steps) {
        while (found.first < 0 && sim.host.elapsedMs < step.atMs) sim.frame();
        if (found.first >= 0) break;
        session::perform(sim, cast, step, {89, 0});
    }
    sim.trace = nullptr;
    return found;
}

} // namespace

TEST(Compare, ABuildAgainstItselfIsIdenticalInEveryGame) {
    const std::string own = sim::defaultPluginPath();
    std::vector<compare::Game> games = {walkthroughGame()};
    for (std::uint64_t seed : {1u, 2u, 3u}) games.push_back({"chaos", {}, seed, 1500});
    for (const compare::Game& game : games) {
        const compare::Outcome outcome = compare::compareGame(game, own, own, {});
        EXPECT_FALSE(outcome.divergence.has_value()) << compare::report(game, outcome);
        EXPECT_GE(outcome.passes, game.chaosSeed ? 1500 : 7000);
    }
}

TEST(Compare, AChangedWaitIsFoundAtItsPassWithBothCallsAndWhatThePlayerSees) {
    const compare::Game game = walkthroughGame();
    const compare::Outcome outcome =
        compare::compareGame(game, sim::defaultPluginPath(), EMBERLANE_ALTERED_PLUGIN_PATH, {});
    ASSERT_TRUE(outcome.divergence.has_value());
    const compare::Divergence& d = *outcome.divergence;

    const auto [pass, ms] = firstExitWait(game);
    ASSERT_GT(pass, 0);
    EXPECT_EQ(d.pass, pass);
    EXPECT_EQ(d.ms, ms);
    ASSERT_FALSE(d.ours.empty());
    ASSERT_FALSE(d.theirs.empty());
    EXPECT_EQ(d.ours.front(), "scriptWait(3000)");
    EXPECT_EQ(d.theirs.front(), "scriptWait(2500)");
    // Just before it, the exit watch asked for the release that the scene made.
    ASSERT_FALSE(d.before.empty());
    EXPECT_EQ(d.before.back(), "IS_CONTROL_JUST_RELEASED(0, INPUT_FRONTEND_NAV_DOWN) = 1");
    // The pass ends half a second sooner; the prop is gone in both.
    EXPECT_THAT(d.seenDifferently, ElementsAre("game time: 00:11.550 | 00:11.055"));

    const std::string report = compare::report(game, outcome);
    EXPECT_NE(report.find("walkthrough: differs at pass " + std::to_string(pass) +
                          ", 00:08.547 of game time\n"),
              std::string::npos)
        << report;
}

namespace {
compare::Differing differing(const std::string& name, const std::string& ours,
                             const std::string& theirs, std::vector<std::string> timeline = {}) {
    compare::Differing d;
    d.game.name = name;
    if (name.rfind("chaos seed ", 0) == 0) d.game.chaosSeed = std::stoull(name.substr(11));
    d.divergence.pass = 7;
    d.divergence.ms = 1234;
    d.divergence.ours = {ours};
    d.divergence.theirs = {theirs};
    d.timeline = std::move(timeline);
    return d;
}
} // namespace

TEST(Compare, GamesThatFirstDifferAlikeAreReportedOnceWithTheirNames) {
    // One change met in many games: the handle and the health read differ from game to game,
    // the builds' values by the same two points.
    const std::vector<std::string> timeline = {
        "- 02:09.063  Tumbleweed health  90 -> 100, a point at a time until 02:27.180",
        "+ 02:09.063  Tumbleweed health  90 -> 93", "+ 02:11.076  Tumbleweed health  93 -> 96"};
    const std::vector<compare::Differing> games = {
        differing("walkthrough", "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 93)",
                  "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 91)", timeline),
        differing("chaos seed 1", "_SET_ATTRIBUTE_CORE_VALUE(1538, 0, 19)",
                  "_SET_ATTRIBUTE_CORE_VALUE(1538, 0, 17)"),
        differing("scenes/still.scene", "scriptWait(3000)", "scriptWait(2500)"),
        differing("chaos seed 2", "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 8)",
                  "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 6)"),
        differing("chaos seed 3", "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 9)", // by three
                  "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 6)"),
        differing("chaos seed 5", "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 2)",
                  "_SET_ATTRIBUTE_CORE_VALUE(1282, 0, 0)")};
    const std::string walkthrough = "\nwalkthrough: differs at pass 7, 00:01.234 of game time\n"
                                    "  this build:\n"
                                    "    _SET_ATTRIBUTE_CORE_VALUE(1282, 0, 93)\n"
                                    "  the other build:\n"
                                    "    _SET_ATTRIBUTE_CORE_VALUE(1282, 0, 91)\n"
                                    "  at the end of that pass a player sees no difference yet\n"
                                    "  the same first difference in 3 more games: chaos seeds "
                                    "1-2, 5\n";
    const std::string still = "\nscenes/still.scene: differs at pass 7, 00:01.234 of game time\n"
                              "  this build:\n"
                              "    scriptWait(3000)\n"
                              "  the other build:\n"
                              "    scriptWait(2500)\n"
                              "  at the end of that pass a player sees no difference yet\n"
                              "  what a player sees over the whole of scenes/still.scene: the "
                              "same with both builds\n";
    const std::string byThree = "\nchaos seed 3: differs at pass 7, 00:01.234 of game time\n"
                                "  this build:\n"
                                "    _SET_ATTRIBUTE_CORE_VALUE(1282, 0, 9)\n"
                                "  the other build:\n"
                                "    _SET_ATTRIBUTE_CORE_VALUE(1282, 0, 6)\n"
                                "  at the end of that pass a player sees no difference yet\n";
    EXPECT_EQ(compare::groupedReport(games, false),
              walkthrough +
                  "  what a player sees over the whole of walkthrough: 3 lines differ, from "
                  "02:09.063 (--timelines shows them)\n" +
                  still + byThree);
    EXPECT_EQ(compare::groupedReport(games, true),
              walkthrough +
                  "  what a player sees over the whole of walkthrough (- the other build, + this "
                  "build):\n    " +
                  timeline[0] + "\n    " + timeline[1] + "\n    " + timeline[2] + "\n" + still +
                  byThree);
    EXPECT_EQ(compare::listOf({"walkthrough", "chaos seed 1", "chaos seed 2", "chaos seed 5",
                               "scenes/a.scene", "chaos seed 9"}),
              "walkthrough, chaos seeds 1-2, 5, scenes/a.scene, chaos seed 9");
}

TEST(Compare, TheTimelinesShowWhatThePlayerSeesDifferOverTheWholeGame) {
    const std::vector<std::string> lines = compare::timelineDifferences(
        walkthroughGame(), sim::defaultPluginPath(), EMBERLANE_ALTERED_PLUGIN_PATH, {});
    // The other build waits 2500 ms: its exit's prop goes half a second sooner.
    EXPECT_THAT(lines,
                ::testing::Contains("- 00:08.547  script waits       2500 ms inside the pass"));
    EXPECT_THAT(lines,
                ::testing::Contains("+ 00:08.547  script waits       3000 ms inside the pass"));
    EXPECT_THAT(lines,
                ::testing::Contains("- 00:11.055  player props       the held prop is discarded"));
    EXPECT_THAT(lines,
                ::testing::Contains("+ 00:11.550  player props       the held prop is discarded"));
    // In time order, each line of one build alone.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].rfind("- ", 0) == 0 || lines[i].rfind("+ ", 0) == 0) << lines[i];
        if (i > 0) {
            EXPECT_LE(lines[i - 1].substr(2, 9), lines[i].substr(2, 9));
        }
    }
    // A build against itself shows a player the same.
    EXPECT_THAT(compare::timelineDifferences(walkthroughGame(), sim::defaultPluginPath(),
                                             sim::defaultPluginPath(), {}),
                IsEmpty());
}
