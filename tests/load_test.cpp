// A load of a game session: the host drops the script where it waits and starts it again once
// the loading screen is gone; the module, and what it holds, stays.
#include "play.h"

namespace {

// The natives a frame called, by name alone: the game hands out new handles at each run.
std::vector<std::string> namesOf(const std::vector<std::string>& calls) {
    std::vector<std::string> names;
    for (const std::string& c : calls) names.push_back(c.substr(0, c.find('(')));
    return names;
}

} // namespace

TEST(Load, TheScriptStartsAgainAfterTheLoadingScreenWithItsStartUpThenItsLoop) {
    std::vector<std::string> firstFrames;
    {
        Sim fresh;
        firstFrames = namesOf(callsOf(fresh, 2));
    }
    Sim sim;
    sim.frame(40);
    openRestMenu(sim);
    sim.load(1000);
    EXPECT_THAT(callsOf(sim, 30), IsEmpty()); // 990 ms of loading screen: no run
    sim.startCallLog();
    sim.frame(2);
    sim.stopCallLog();
    ASSERT_FALSE(sim.calls.empty());
    EXPECT_EQ(sim.calls.front(), "scriptMain() again, after a load");
    EXPECT_EQ(namesOf({sim.calls.begin() + 1, sim.calls.end()}), firstFrames);
    // The new run's prompts are new ones, made by the same calls; the old ones are gone.
    EXPECT_EQ(sim.prompt("washFacePrompt").handle, handle::menu + 3);
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
    EXPECT_EQ(sim.host.runs, 2);
}

TEST(Load, WhatTheModuleHoldsStaysAndWhatTheRunMadeGoes) {
    Sim sim;
    sim.frame();
    openRestMenu(sim);
    sim.complete("sitActivityPrompt");
    sim.frame();
    EXPECT_EQ(countOf(callsOf(sim, 12), "SET_THIRD_PERSON"), 12); // the camera eases in
    ASSERT_NE(sim.scenarioOf(sim.player), "");

    sim.load(0);
    sim.frame();
    EXPECT_EQ(sim.scenarioOf(sim.player), ""); // the run's scenario point went with it
    EXPECT_EQ(sim.game.pointsLeftUndeleted(), 0u);
    // The hotkey opens the menu again, from the key table that stayed.
    sim.pressKey(89);
    sim.releaseKey(89);
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("sitActivityPrompt", "sitGroundPrompt",
                                                  "menuClosePrompt", "smokeMenuPrompt"));
    // The ease kept its value: a second activity holds the camera where the first left it.
    sim.complete("sitActivityPrompt");
    sim.frame();
    const auto calls = callsOf(sim, 12);
    const int held =
        countOf(calls, "SET_THIRD_PERSON_CAM_ORBIT_DISTANCE_LIMITS_THIS_UPDATE(1, 2.9500005)");
    EXPECT_EQ(held, 12);
    EXPECT_EQ(countOf(calls, "SET_THIRD_PERSON"), held);
}

TEST(Load, ALoadWhileTheScriptWaitsInsideAPassDropsThatWait) {
    Sim sim;
    sim.frame();
    openRestMenu(sim);
    sim.complete("sitActivityPrompt");
    sim.frame(14);
    sim.press("INPUT_FRONTEND_NAV_DOWN");
    sim.frame();
    sim.release("INPUT_FRONTEND_NAV_DOWN");
    EXPECT_EQ(callsOf(sim).back(), "scriptWait(3000)");
    sim.load(0);
    // The 3000 ms never end: the next frame is the new run's start-up, and no prop is discarded.
    EXPECT_EQ(callsOf(sim).front(), "scriptMain() again, after a load");
    sim.frame(200);
    EXPECT_EQ(sim.me().propsDiscarded, 0);
}

TEST(Load, ACallOnAPromptOfAnEndedRunIsRefused) {
    Sim sim;
    sim.frame();
    sim.load(0);
    sim.frame();
    EXPECT_THROW(sim::answer(sim.game, op::promptSetVisible,
                             std::array<std::uint64_t, 2>{handle::menu, 1}.data(), 2,
                             std::array<std::uint64_t, 3>{}.data()),
                 sim::GameError);
}
