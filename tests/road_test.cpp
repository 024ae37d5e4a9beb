// The road of a typical request, from the satchel release to the stale point's deletion.
#include "play.h"

TEST(Road, FromTheSatchelToASeatedActivityAndBackWithThePropDiscarded) {
    sim::Options o;
    o.seed = 7;
    Sim sim(o);
    sim.frame();
    sim.standAt(12.5f, -40.25f, 101.0f, 33.0f);

    // The release is sampled and the menu prompt shown.
    sim.release("INPUT_OPEN_SATCHEL_MENU");
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("menuPrompt"));
    sim.advance(1000);
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("menuPrompt"));

    // Completing it opens the menu with its four main entries in the same pass.
    sim.complete("menuPrompt");
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("sitActivityPrompt", "sitGroundPrompt",
                                                  "menuClosePrompt", "smokeMenuPrompt"));

    // The sit entry: one of the seven, at the sampled spot and heading, with no time limit.
    sim.complete("sitActivityPrompt");
    auto calls = callsOf(sim);
    const auto start =
        between(calls, "GET_RANDOM_INT_IN_RANGE", completedQuery(handle::sitGround, 0));
    ASSERT_EQ(start.size(), 4u);
    const std::string scenario = sim.scenarioOf(sim.player);
    EXPECT_EQ(start[1], "GET_HASH_KEY(\"" + scenario + "\") = " + scenario);
    EXPECT_EQ(start[2], "CREATE_SCENARIO_POINT_HASH(" + scenario +
                            ", 12.5, -40.25, 101, 33, 0, -1, 1) = 376833");
    EXPECT_EQ(start[3], "TASK_USE_SCENARIO_POINT(1026, 376833, 0, -1, 1, 0, 0x00000000, 1, "
                        "-1082130432, 1)");
    EXPECT_EQ(sim.visiblePrompts().size(), 4u); // the start itself hides nothing

    // The next pass: the exit watch eases the camera in, then the menu closes.
    calls = callsOf(sim, 12);
    EXPECT_EQ(countOf(calls, "SET_THIRD_PERSON"), 12);
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
    EXPECT_EQ(countOf(calls, "_DELETE_SCENARIO_POINT(376833)"), 0);

    // A navigation press clears the tasks; the release ends the watch after 3000 ms.
    sim.advance(5000);
    sim.press("INPUT_FRONTEND_NAV_UP");
    calls = callsOf(sim);
    EXPECT_EQ(countOf(calls, "CLEAR_PED_TASKS(1026, 1, 1)"), 1);
    EXPECT_EQ(countOf(calls, "_DELETE_SCENARIO_POINT(376833)"), 1); // the point goes at once
    sim.release("INPUT_FRONTEND_NAV_UP");
    sim.startCallLog();
    sim.frame();
    const std::int64_t waitedFrom = sim.host.elapsedMs;
    while (sim.host.elapsedMs - waitedFrom < 3000) sim.frame();
    sim.frame();
    EXPECT_EQ(countOf(sim.calls, "scriptWait(3000)"), 1);
    EXPECT_EQ(between(sim.calls, "scriptWait(3000)", "GET_CURRENT_PED_WEAPON"),
              (std::vector<std::string>{"scriptWait(3000)", "PLAYER_PED_ID() = 1026",
                                        "_HIDE_PED_WEAPONS(1026, 0, 1)"}));
    EXPECT_EQ(sim.me().propsDiscarded, 1);

    // From then on the stale point is deleted in every pass, the watch has ended.
    calls = callsOf(sim, 3);
    EXPECT_EQ(countOf(calls, "_DELETE_SCENARIO_POINT(376833)"), 3);
    EXPECT_EQ(countOf(calls, "SET_THIRD_PERSON"), 0);
    EXPECT_EQ(sim.game.pointsLeftUndeleted(), 0u);
}
