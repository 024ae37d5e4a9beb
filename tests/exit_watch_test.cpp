#include "play.h"

namespace {

std::vector<std::string> easeCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.rfind("SET_THIRD_PERSON", 0) == 0 || c.rfind("_0x71D7", 0) == 0 ||
            c.rfind("scriptWait", 0) == 0)
            out.push_back(c);
    return out;
}

std::string ease(const char* value) {
    return std::string("SET_THIRD_PERSON_CAM_ORBIT_DISTANCE_LIMITS_THIS_UPDATE(1, ") + value + ")";
}

void startSitting(Sim& sim) {
    openRestMenu(sim);
    sim.complete("sitActivityPrompt");
    sim.frame();
}

} // namespace

TEST(ExitWatch, TheFirstActivationEasesInTwelveCallsWithAFrameAfterEachOfTheFirstEleven) {
    Sim sim;
    sim.frame();
    startSitting(sim);
    const auto calls = easeCalls(callsOf(sim, 12));
    // Single-precision steps of -0.05 from 3.5, while above 3.0.
    std::vector<std::string> expected;
    for (float v = 3.5f; v > 3.0f; v = v + -0.05f) {
        expected.push_back(ease(sim.describeFloat(v).c_str()));
        expected.push_back("scriptWait(0)");
    }
    ASSERT_EQ(expected.size(), 22u);
    EXPECT_EQ(expected[20], ease("3.0000005"));
    expected.push_back(ease("2.9500005"));
    expected.push_back("_0x71D71E08A7ED5BD7(1)");
    expected.push_back("scriptWait(0)"); // the end of that pass
    EXPECT_EQ(calls, expected);
    // Every later pass: one call with the value where the easing stopped.
    EXPECT_THAT(easeCalls(callsOf(sim)),
                ElementsAre(ease("2.9500005"), "_0x71D71E08A7ED5BD7(1)", "scriptWait(0)"));
}

TEST(ExitWatch, TheReleaseNotThePressEndsTheWatchAndThePropGoes) {
    Sim sim;
    sim.frame();
    startSitting(sim);
    sim.frame(20);
    sim.press("INPUT_FRONTEND_NAV_DOWN");
    sim.frame();
    EXPECT_EQ(sim.scenarioOf(sim.player), ""); // the press cleared the tasks
    sim.release("INPUT_FRONTEND_NAV_DOWN");
    const auto calls = callsOf(sim);
    EXPECT_THAT(
        between(calls, "GET_HASH_KEY(\"INPUT_FRONTEND_NAV_DOWN\")", "GET_CURRENT_PED_WEAPON"),
        ElementsAre("GET_HASH_KEY(\"INPUT_FRONTEND_NAV_DOWN\") = INPUT_FRONTEND_NAV_DOWN",
                    "IS_CONTROL_JUST_RELEASED(0, INPUT_FRONTEND_NAV_DOWN) = 1",
                    "scriptWait(3000)"));
    sim.advance(3000);
    EXPECT_EQ(sim.me().propsDiscarded, 1);
    const auto after = callsOf(sim);
    EXPECT_EQ(countOf(after, "SET_THIRD_PERSON"), 0); // the watch has ended
}

TEST(ExitWatch, AReleaseIsLookedForDownUpLeftRightAndStopsAtTheFirst) {
    Sim sim;
    sim.frame();
    startSitting(sim);
    sim.frame(15);
    sim.release("INPUT_FRONTEND_NAV_LEFT");
    sim.release("INPUT_FRONTEND_NAV_RIGHT");
    const auto calls = callsOf(sim);
    EXPECT_THAT(between(calls, "_0x71D71E08A7ED5BD7", "scriptWait"),
                ElementsAre("_0x71D71E08A7ED5BD7(1)",
                            "GET_HASH_KEY(\"INPUT_FRONTEND_NAV_DOWN\") = INPUT_FRONTEND_NAV_DOWN",
                            "IS_CONTROL_JUST_RELEASED(0, INPUT_FRONTEND_NAV_DOWN) = 0",
                            "GET_HASH_KEY(\"INPUT_FRONTEND_NAV_UP\") = INPUT_FRONTEND_NAV_UP",
                            "IS_CONTROL_JUST_RELEASED(0, INPUT_FRONTEND_NAV_UP) = 0",
                            "GET_HASH_KEY(\"INPUT_FRONTEND_NAV_LEFT\") = INPUT_FRONTEND_NAV_LEFT",
                            "IS_CONTROL_JUST_RELEASED(0, INPUT_FRONTEND_NAV_LEFT) = 1"));
}

TEST(ExitWatch, WithThePropDiscardOffTheExitStillWaitsButNothingIsDiscarded) {
    sim::Options o;
    o.ini = "[SETTINGS]\nDESTROY_SCENARIO_PROP=0\n";
    Sim sim(o);
    sim.frame();
    startSitting(sim);
    sim.frame(15);
    sim.press("INPUT_FRONTEND_NAV_UP");
    sim.frame();
    sim.release("INPUT_FRONTEND_NAV_UP");
    const auto calls = callsOf(sim);
    EXPECT_EQ(countOf(calls, "scriptWait(3000)"), 1);
    sim.advance(4000);
    openRestMenu(sim);
    sim.complete("smokeMenuPrompt");
    sim.frame();
    sim.complete("cigarPrompt");
    sim.frame(3);
    sim.startCallLog();
    sim.press("INPUT_FRONTEND_NAV_UP");
    sim.frame();
    sim.release("INPUT_FRONTEND_NAV_UP");
    sim.advance(3000);
    EXPECT_EQ(sim.me().propsDiscarded, 0);
    EXPECT_EQ(countOf(sim.calls, "_HIDE_PED_WEAPONS"), 0);
}

TEST(ExitWatch, OneReleaseServesTheSitExitOnlyAndTheSmokeDiscardWaitsForALaterOne) {
    Sim sim;
    sim.frame();
    openRestMenu(sim);
    sim.complete("smokeMenuPrompt");
    sim.frame();
    sim.complete("cigarPrompt");
    sim.frame();
    sim.clearScenario(sim.player);
    openRestMenu(sim);
    sim.complete("sitActivityPrompt");
    sim.frame(15); // both activities flagged now
    sim.release("INPUT_FRONTEND_NAV_DOWN");
    sim.startCallLog();
    sim.advance(3100);
    EXPECT_EQ(sim.me().propsDiscarded, 1); // the sit exit's discard only
    EXPECT_EQ(countOf(sim.calls, "scriptWait(2000)"), 0);
    sim.release("INPUT_FRONTEND_NAV_DOWN");
    sim.advance(2100);
    EXPECT_EQ(countOf(sim.calls, "scriptWait(2000)"), 1);
    EXPECT_EQ(sim.me().propsDiscarded, 2);
}

TEST(ExitWatch, ASmokeDiscardWaitsTwoSecondsThenReadsThePedAfresh) {
    Sim sim;
    sim.frame();
    openRestMenu(sim);
    sim.complete("smokeMenuPrompt");
    sim.frame();
    sim.complete("smokePrompt");
    sim.frame(5);
    sim.release("INPUT_FRONTEND_NAV_RIGHT");
    sim.startCallLog();
    sim.advance(2100);
    EXPECT_THAT(
        between(sim.calls, "scriptWait(2000)", "GET_CURRENT_PED_WEAPON"),
        ElementsAre("scriptWait(2000)", "PLAYER_PED_ID() = 1026", "_HIDE_PED_WEAPONS(1026, 0, 1)"));
    // The flag was cleared: a later release, with no smoke under way, neither waits nor
    // discards again (long enough for a second wait to have ended).
    sim.release("INPUT_FRONTEND_NAV_RIGHT");
    sim.advance(2100);
    EXPECT_EQ(countOf(sim.calls, "scriptWait(2000)"), 1);
    EXPECT_EQ(sim.me().propsDiscarded, 1);
}
