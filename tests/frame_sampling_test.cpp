#include "play.h"

namespace {

const std::vector<std::string> idleSampling = {
    "PLAYER_PED_ID() = 1026",
    "GET_ENTITY_HEADING(1026) = 90",
    "GET_ENTITY_COORDS(1026, 1, 0) = (100, 200, 30)",
    "GET_HASH_KEY(\"WORLD_ANIMAL_HORSE_DRINK_GROUND\") = WORLD_ANIMAL_HORSE_DRINK_GROUND",
    "IS_PED_USING_SCENARIO_HASH(0, WORLD_ANIMAL_HORSE_DRINK_GROUND) = 0",
    "GET_ENTITY_COORDS(0, 1, 0) = (0, 0, 0)",
    "GET_ENTITY_HEADING(0) = 0",
    "_UI_PROMPT_GET_GROUP_ID_FOR_TARGET_ENTITY(0) = 0",
    "GET_HASH_KEY(\"INPUT_OPEN_SATCHEL_MENU\") = INPUT_OPEN_SATCHEL_MENU",
    "IS_CONTROL_JUST_RELEASED(0, INPUT_OPEN_SATCHEL_MENU) = 0",
    "IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_RIGHT) = 0",
    "IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_LEFT) = 0",
    "IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_UP) = 0",
    "IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_DOWN) = 0",
    "IS_PED_USING_ANY_SCENARIO(1026) = 0",
    "IS_PED_USING_ANY_SCENARIO(1026) = 0",
    "_DELETE_SCENARIO_POINT(0)",
    "IS_PED_USING_ANY_SCENARIO(0) = 0",
    "_DELETE_SCENARIO_POINT(0)",
};

// The sampling block of the pass that the next frame runs.
std::vector<std::string> samplingOf(Sim& sim) {
    auto calls = sliceFrom(callsOf(sim), "PLAYER_PED_ID()");
    calls.resize(std::min(calls.size(), idleSampling.size()));
    return calls;
}

} // namespace

TEST(FrameSampling, TheFirstPassAsksAboutHorseZeroInTwelveStepsInOrder) {
    Sim sim;
    EXPECT_EQ(samplingOf(sim), idleSampling);
    EXPECT_EQ(samplingOf(sim), idleSampling); // and every idle pass alike
}

TEST(FrameSampling, NavigationQueriesStopAtTheFirstPress) {
    Sim sim;
    sim.frame();
    sim.press("INPUT_FRONTEND_NAV_RIGHT");
    sim.press("INPUT_FRONTEND_NAV_DOWN");
    const auto calls = samplingOf(sim);
    EXPECT_EQ(countOf(calls, "IS_CONTROL_JUST_PRESSED"), 1);
    EXPECT_EQ(calls[10], "IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_RIGHT) = 1");
    EXPECT_EQ(calls[11], "IS_PED_USING_ANY_SCENARIO(1026) = 0");
    EXPECT_EQ(countOf(calls, "CLEAR_PED_TASKS"), 0); // no scenario: nothing to clear
}

TEST(FrameSampling, APressEndsAScenarioTheGameStartedAndItsPointIsDeleted) {
    Sim sim;
    sim.frame();
    sim.setScenario(sim.player, "WORLD_PLAYER_CAMP_FIRE_SIT");
    sim.press("INPUT_FRONTEND_NAV_UP");
    const auto calls = sliceFrom(callsOf(sim), "IS_CONTROL_JUST_PRESSED");
    EXPECT_THAT(std::vector<std::string>(calls.begin(), calls.begin() + 8),
                ElementsAre("IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_RIGHT) = 0",
                            "IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_LEFT) = 0",
                            "IS_CONTROL_JUST_PRESSED(0, INPUT_FRONTEND_NAV_UP) = 1",
                            "IS_PED_USING_ANY_SCENARIO(1026) = 1", "CLEAR_PED_TASKS(1026, 1, 1)",
                            "IS_PED_USING_ANY_SCENARIO(1026) = 0", "_DELETE_SCENARIO_POINT(0)",
                            "IS_PED_USING_ANY_SCENARIO(0) = 0"));
    EXPECT_EQ(sim.scenarioOf(sim.player), "");
}

TEST(FrameSampling, WhileTheScenarioRunsNoPointIsDeleted) {
    Sim sim;
    sim.frame();
    sim.setScenario(sim.player, "WORLD_HUMAN_SIT_GROUND");
    const auto calls = samplingOf(sim);
    EXPECT_EQ(calls[15], "IS_PED_USING_ANY_SCENARIO(1026) = 1");
    EXPECT_EQ(calls[16], "IS_PED_USING_ANY_SCENARIO(0) = 0");
}

TEST(FrameSampling, SatchelReleaseIsSampledForOneFrame) {
    Sim sim;
    sim.frame();
    sim.release("INPUT_OPEN_SATCHEL_MENU");
    EXPECT_EQ(samplingOf(sim)[9], "IS_CONTROL_JUST_RELEASED(0, INPUT_OPEN_SATCHEL_MENU) = 1");
    EXPECT_EQ(samplingOf(sim)[9], "IS_CONTROL_JUST_RELEASED(0, INPUT_OPEN_SATCHEL_MENU) = 0");
}
