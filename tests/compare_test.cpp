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
        session::perform(sim, cast, step);
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
