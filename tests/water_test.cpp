#include "play.h"

namespace {

const std::string wash = "WORLD_HUMAN_WASH_FACE_BUCKET_GROUND_NO_BUCKET";
const std::string drink = "WORLD_HUMAN_BUCKET_DRINK_GROUND_NO_BUCKET";

std::vector<std::string> waterBlock(Sim& sim) {
    return between(callsOf(sim), "GET_CURRENT_PED_WEAPON", completedQuery(handle::menu, 0));
}

struct AtTheRiver : ::testing::Test {
    sim::Options options() {
        sim::Options o;
        o.frameMs = 1; // millisecond steps for the timing rules
        return o;
    }
    Sim sim{options()};
    void SetUp() override {
        sim.frame();
        sim.wadeIntoWater();
    }
};

} // namespace

TEST_F(AtTheRiver, StandingStillUnarmedBothPromptsAreOfferedDrinkFirst) {
    EXPECT_EQ(waterBlock(sim),
              flat({"GET_CURRENT_PED_WEAPON(1026, &, 1, 0, 1) = 1", "IS_PED_STILL(1026) = 1",
                    "IS_PED_IN_COMBAT(1026, 0) = 0", "IS_ENTITY_IN_WATER(1026) = 1",
                    "IS_PED_USING_ANY_SCENARIO(1026) = 0", "_IS_PED_LEADING_HORSE(1026) = 0",
                    shownCalls(handle::drinkWater, 1), shownCalls(handle::washFace, 1),
                    completedQuery(handle::washFace, 0), completedQuery(handle::drinkWater, 0)}));
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("washFacePrompt", "drinkWaterPrompt"));
}

TEST_F(AtTheRiver, TheOfferStopsAtTheFirstGateThatFails) {
    sim.walk();
    auto calls = waterBlock(sim);
    EXPECT_EQ(calls[1], "IS_PED_STILL(1026) = 0");
    EXPECT_EQ(calls[2], "_UI_PROMPT_SET_ENABLED(1796, 0)");
    EXPECT_EQ(countOf(calls, completedQuery(handle::washFace, 0)), 1); // asked all the same
    sim.standStill();
    sim.startCombat();
    calls = waterBlock(sim);
    EXPECT_EQ(calls[2], "IS_PED_IN_COMBAT(1026, 0) = 1");
    EXPECT_EQ(calls[3], "_UI_PROMPT_SET_ENABLED(1796, 0)");
    sim.stopCombat();
    sim.me().leadingHorse = true;
    calls = waterBlock(sim);
    EXPECT_EQ(calls[5], "_IS_PED_LEADING_HORSE(1026) = 1");
    EXPECT_EQ(calls[6], "_UI_PROMPT_SET_ENABLED(1796, 0)");
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}

TEST_F(AtTheRiver, AWeaponInHandHidesBothUntilItIsPutAway) {
    sim.drawWeapon();
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
    sim.holster();
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("washFacePrompt", "drinkWaterPrompt"));
}

TEST_F(AtTheRiver, WashingStartsAtTheSampledSpotAndIsWatched) {
    sim.frame();
    sim.standAt(10, 20, 3, 45);
    sim.complete("washFacePrompt");
    const auto calls = callsOf(sim);
    const auto start =
        between(calls, completedQuery(handle::washFace, 1), completedQuery(handle::drinkWater, 0));
    EXPECT_THAT(
        start,
        ElementsAre(
            completedQuery(handle::washFace, 1), "GET_GAME_TIMER() = 60003",
            "GET_HASH_KEY(\"" + wash + "\") = " + wash,
            "CREATE_SCENARIO_POINT_HASH(" + wash + ", 10, 20, 3, 45, 0, -1, 1) = 376833",
            "TASK_USE_SCENARIO_POINT(1026, 376833, 0, -1, 1, 0, 0x00000000, 1, -1082130432, 1)"));
    EXPECT_EQ(sim.scenarioOf(sim.player), wash);
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("washFacePrompt", "drinkWaterPrompt"));
    EXPECT_EQ(countOf(calls, "SET_THIRD_PERSON"), 0);
    // From the next pass the exit watch eases the camera in, a frame a step, before the
    // prompts are looked at again; then they are withdrawn while the player washes.
    EXPECT_EQ(countOf(callsOf(sim, 12), "SET_THIRD_PERSON"), 12);
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}

TEST_F(AtTheRiver, BothCompletedInOnePassStartWashThenDrinkAndKeepTheSecond) {
    sim.frame();
    sim.complete("washFacePrompt");
    sim.complete("drinkWaterPrompt");
    const auto calls = callsOf(sim);
    EXPECT_EQ(countOf(calls, "CREATE_SCENARIO_POINT_HASH(" + wash), 1);
    EXPECT_EQ(countOf(calls, "CREATE_SCENARIO_POINT_HASH(" + drink), 1);
    EXPECT_EQ(sim.scenarioOf(sim.player), drink);
    EXPECT_EQ(sim.game.points.size(), 2u);
    // The first point is left for the game; the second is the one the sampling will delete.
    sim.clearScenario(sim.player);
    sim.frame();
    EXPECT_TRUE(sim.game.points[1].deleted);
    EXPECT_FALSE(sim.game.points[0].deleted);
}

TEST_F(AtTheRiver, TheWashEffectFollowsFifteenSecondsAfterThePromptNotBefore) {
    sim.frame();
    sim.complete("washFacePrompt");
    sim.frame(); // started at game time 60003
    sim.advance(14999);
    EXPECT_EQ(countOf(callsOf(sim), "CLONE_PED_TO_TARGET"), 0); // exactly 15000 has not passed
    EXPECT_EQ(countOf(callsOf(sim), "CLONE_PED_TO_TARGET(1026, 1026)"), 1); // 15001
    EXPECT_EQ(countOf(callsOf(sim, 10), "CLONE_PED_TO_TARGET(1026, 1026)"), 10);
}

TEST_F(AtTheRiver, DrinkingRefillsStaminaAPointAPassThenOverpowersOnce) {
    sim.me().cores[1] = 97;
    sim.frame();
    sim.complete("drinkWaterPrompt");
    sim.frame();
    sim.advance(14999);
    EXPECT_EQ(sim.me().cores[1], 97);
    const std::vector<std::string> gates = {"GET_HASH_KEY(\"" + drink + "\") = " + drink,
                                            "IS_PED_USING_SCENARIO_HASH(1026, " + drink + ") = 1",
                                            "GET_GAME_TIMER() = 75003",
                                            "_IS_ATTRIBUTE_CORE_OVERPOWERED(1026, 1) = 0",
                                            "_GET_ATTRIBUTE_CORE_VALUE(1026, 1) = 97",
                                            "GET_GAME_TIMER() = 75003"};
    EXPECT_EQ(between(callsOf(sim), "GET_HASH_KEY(\"" + drink, "PLAYER_ID"),
              gates); // 15000: not yet
    auto calls = between(callsOf(sim), "GET_HASH_KEY(\"" + drink, "PLAYER_ID");
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[5], "GET_GAME_TIMER() = 75004");
    EXPECT_EQ(calls[6], "_SET_ATTRIBUTE_CORE_VALUE(1026, 1, 98)");
    sim.frame(2);
    EXPECT_EQ(sim.me().cores[1], 100);
    calls = callsOf(sim);
    EXPECT_EQ(countOf(calls, "_ENABLE_ATTRIBUTE_CORE_OVERPOWER(1026, 1, 100, 0)"), 1);
    EXPECT_EQ(countOf(calls, "_SET_ATTRIBUTE_CORE_VALUE"), 0);
    EXPECT_EQ(countOf(callsOf(sim, 5), "_ENABLE_ATTRIBUTE_CORE_OVERPOWER"), 0); // overpowered
}

TEST(WaterEffects, AScenarioTheGameStartedGetsTheEffectAtOnceWhenNoPromptEverCompleted) {
    // Also in the game's first fifteen seconds: no start time is "never", not "just now".
    for (const std::int32_t startTime : {60000, 1000}) {
        SCOPED_TRACE(startTime);
        sim::Options o;
        o.startTime = startTime;
        Sim sim(o);
        sim.frame();
        sim.setScenario(sim.player, "WORLD_HUMAN_WASH_FACE_BUCKET_GROUND_NO_BUCKET");
        EXPECT_EQ(countOf(callsOf(sim), "CLONE_PED_TO_TARGET(1026, 1026)"), 1);
        sim.setScenario(sim.player, "WORLD_HUMAN_BUCKET_DRINK_GROUND_NO_BUCKET");
        sim.me().cores[1] = 100;
        // Full and not overpowered: the overpower, with no set before it.
        const auto calls = callsOf(sim);
        EXPECT_EQ(countOf(calls, "_SET_ATTRIBUTE_CORE_VALUE"), 0);
        EXPECT_EQ(countOf(calls, "_ENABLE_ATTRIBUTE_CORE_OVERPOWER(1026, 1, 100, 0)"), 1);
    }
}

// A drink started when the game timer reads 0 stores 0, which means "never started": the
// fifteen seconds are skipped from the next pass on; the pass of the start itself, with the
// timer no later than the start, refills nothing.
TEST(WaterEffects, ADrinkStartedAtTimerZeroRefillsFromTheNextPass) {
    sim::Options o;
    o.frameMs = 1;
    o.startTime = -10;
    Sim sim(o);
    sim.wadeIntoWater();
    sim.me().cores[1] = 50;
    while (sim.game.now < -1) sim.frame();
    sim.complete("drinkWaterPrompt");
    const auto start = callsOf(sim);
    ASSERT_EQ(sim.game.now, 0);
    ASSERT_EQ(sim.scenarioOf(sim.player), drink);
    EXPECT_EQ(countOf(start, "_SET_ATTRIBUTE_CORE_VALUE"), 0);
    // The first activation's camera easing waits eleven frames first; then, at once.
    EXPECT_EQ(countOf(callsOf(sim, 13), "_SET_ATTRIBUTE_CORE_VALUE(1026, 1, 51)"), 1);
}
