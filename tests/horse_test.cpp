#include "play.h"

namespace {

const std::string drinkScenario = "WORLD_ANIMAL_HORSE_DRINK_GROUND";
const std::string restingScenario = "WORLD_ANIMAL_HORSE_RESTING";

std::vector<std::string> horseSection(const std::vector<std::string>& calls) {
    return sliceFrom(calls, "PLAYER_ID()");
}

struct WithAHorse : ::testing::Test {
    Sim sim;
    Handle horse = sim.spawnHorse(103, 200, 30, 180);
    void SetUp() override {
        sim.frame();
        sim.target(horse);
        sim.frame(); // the horse section now holds it, for the next pass's samples
    }
    sim::Entity& h() { return *sim.game.entity(horse); }
    void inWaterStill() {
        h().inWater = true;
        h().still = true;
    }
};

} // namespace

TEST_F(WithAHorse, StillInWaterItIsOfferedADrinkInItsOwnPromptGroup) {
    inWaterStill();
    const auto calls = horseSection(callsOf(sim));
    const std::vector<std::string> expected = flat(
        {"PLAYER_ID() = 0", "GET_PLAYER_TARGET_ENTITY(0, &) = 1", "DOES_ENTITY_EXIST(1282) = 1",
         "IS_ENTITY_IN_WATER(1282) = 1", "_IS_PED_LEADING_HORSE(1026) = 0",
         "IS_PED_STILL(1282) = 1", "GET_ENTITY_MODEL(1282) = A_C_HORSE_ARABIAN_WHITE",
         "_IS_THIS_MODEL_A_HORSE(A_C_HORSE_ARABIAN_WHITE) = 1",
         "_UI_PROMPT_SET_GROUP(1817, 17666, 0)", shownCalls(handle::horseDrink, 1),
         completedQuery(handle::horseDrink, 0),
         // stamina full: neither overpower, drinking or resting
         "_GET_ATTRIBUTE_CORE_VALUE(1282, 1) = 100", "GET_GAME_TIMER() = 60099",
         "GET_HASH_KEY(\"" + drinkScenario + "\") = " + drinkScenario,
         "IS_PED_USING_SCENARIO_HASH(1282, " + drinkScenario + ") = 0", "GET_GAME_TIMER() = 60099",
         "GET_HASH_KEY(\"" + restingScenario + "\") = " + restingScenario,
         "IS_PED_USING_SCENARIO_HASH(1282, " + restingScenario + ") = 0",
         // grazing health: all three looked at
         "_GET_ATTRIBUTE_CORE_VALUE(1282, 0) = 100",
         "IS_PED_USING_SCENARIO_HASH(1282, WORLD_ANIMAL_HORSE_GRAZING_DOMESTIC) = 0",
         "IS_PED_USING_SCENARIO_HASH(1282, WORLD_ANIMAL_HORSE_GRAZING) = 0",
         "IS_PED_USING_SCENARIO_HASH(1282, WORLD_ANIMAL_HORSE_GRAZING_CAMP) = 0",
         "GET_ATTRIBUTE_POINTS(1282, 13) = 0",
         "IS_PED_USING_SCENARIO_HASH(1282, WORLD_ANIMAL_HORSE_GRAZING_DOMESTIC) = 0",
         "IS_PED_USING_SCENARIO_HASH(1282, WORLD_ANIMAL_HORSE_GRAZING) = 0",
         "IS_PED_USING_SCENARIO_HASH(1282, WORLD_ANIMAL_HORSE_GRAZING_CAMP) = 0"});
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expected.size()), expected);
    EXPECT_EQ(calls.size(), expected.size() + 17); // the rest gate's sixteen, then the wait
    EXPECT_EQ(calls.back(), "scriptWait(0)");
    EXPECT_EQ(sim.prompt("horseDrinkPrompt").group, 17666);
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("horseDrinkPrompt"));
}

TEST_F(WithAHorse, EachFailingConditionHidesThePromptAndStopsTheTest) {
    inWaterStill();
    sim.frame();
    struct Case {
        std::function<void()> make, undo;
        std::string lastAsked;
    };
    const Case cases[] = {
        {[&] { h().inWater = false; }, [&] { h().inWater = true; }, "IS_ENTITY_IN_WATER(1282) = 0"},
        {[&] { sim.me().leadingHorse = true; }, [&] { sim.me().leadingHorse = false; },
         "_IS_PED_LEADING_HORSE(1026) = 1"},
        {[&] { h().still = false; }, [&] { h().still = true; }, "IS_PED_STILL(1282) = 0"},
    };
    for (const Case& c : cases) {
        c.make();
        const auto calls = horseSection(callsOf(sim));
        const auto at = std::find(calls.begin(), calls.end(), c.lastAsked);
        ASSERT_NE(at, calls.end()) << c.lastAsked;
        EXPECT_EQ(*(at + 1), "_UI_PROMPT_SET_ENABLED(1817, 0)");
        EXPECT_EQ(*(at + 2), "_UI_PROMPT_SET_VISIBLE(1817, 0)");
        EXPECT_EQ(countOf(calls, "_UI_PROMPT_SET_GROUP"), 0);
        EXPECT_EQ(countOf(calls, completedQuery(handle::horseDrink, 0)), 0);
        c.undo();
        sim.frame();
        EXPECT_TRUE(sim.shown("horseDrinkPrompt"));
    }
}

TEST(Horse, APedThatIsNotAHorseIsNotOfferedADrink) {
    Sim sim;
    sim::Entity dog;
    dog.model = sim.game.remember("A_C_DOGCOLLIE_01");
    dog.inWater = true;
    const Handle h = sim.game.spawn(dog);
    sim.frame();
    sim.target(h);
    sim.frame(2);
    const auto calls = horseSection(callsOf(sim));
    EXPECT_EQ(calls[7], "_IS_THIS_MODEL_A_HORSE(A_C_DOGCOLLIE_01) = 0");
    EXPECT_EQ(calls[8], "_UI_PROMPT_SET_ENABLED(1817, 0)");
    EXPECT_FALSE(sim.shown("horseDrinkPrompt"));
}

TEST_F(WithAHorse, LosingTheTargetLeavesThePromptAsItWasAndSkipsTheRefills) {
    inWaterStill();
    sim.frame();
    sim.stopTargeting();
    const auto calls = horseSection(callsOf(sim));
    EXPECT_EQ(calls[1], "GET_PLAYER_TARGET_ENTITY(0, &) = 0");
    EXPECT_EQ(calls[2], "GET_ATTRIBUTE_POINTS(1282, 13) = 0"); // the bonus, on the last target
    EXPECT_TRUE(sim.shown("horseDrinkPrompt"));
    EXPECT_EQ(countOf(calls, "_GET_ATTRIBUTE_CORE_VALUE"), 0);
}

TEST_F(WithAHorse, AHorseThatNoLongerExistsLeavesThePromptButKeepsItsRefills) {
    inWaterStill();
    sim.frame();
    h().exists = false;
    const auto calls = horseSection(callsOf(sim));
    EXPECT_EQ(calls[2], "DOES_ENTITY_EXIST(1282) = 0");
    EXPECT_EQ(calls[3], "_GET_ATTRIBUTE_CORE_VALUE(1282, 1) = 0");
    EXPECT_TRUE(sim.shown("horseDrinkPrompt"));
}

TEST_F(WithAHorse, TheDrinkStartsWhereTheHorseStoodAndRefillsAPointEveryTwoSeconds) {
    inWaterStill();
    h().cores[1] = 95;
    sim.frame();
    sim.complete("horseDrinkPrompt");
    const auto calls = callsOf(sim);
    const auto start =
        between(calls, completedQuery(handle::horseDrink, 1), "_GET_ATTRIBUTE_CORE_VALUE");
    EXPECT_THAT(start,
                ElementsAre(completedQuery(handle::horseDrink, 1),
                            "GET_HASH_KEY(\"" + drinkScenario + "\") = " + drinkScenario,
                            "CREATE_SCENARIO_POINT_HASH(" + drinkScenario +
                                ", 103, 200, 30, 180, 0, -1, 1) = 376833",
                            "TASK_USE_SCENARIO_POINT(1282, 376833, 0, 20000, 1, 0, 0x00000000, "
                            "1, -1082130432, 1)",
                            "GET_GAME_TIMER() = 60132"));
    // next refill time 61132: the first point no earlier than 1000 ms later
    std::vector<std::int32_t> pointsAt;
    while (sim.host.elapsedMs < 12000) {
        const int before = h().cores[1];
        sim.frame();
        if (h().cores[1] != before) pointsAt.push_back(sim.game.now);
    }
    ASSERT_EQ(pointsAt.size(), 5u);
    EXPECT_EQ(pointsAt[0], 61155);              // the first frame later than 61132
    EXPECT_EQ(pointsAt[1], pointsAt[0] + 2013); // strictly later than each re-arm + 2000
    EXPECT_EQ(h().cores[1], 100);
    EXPECT_FALSE(sim.shown("horseDrinkPrompt")); // hidden while it drinks
}

TEST_F(WithAHorse, At99TheRefillFillsItAndTheOverpowerFollowsAfterTheRefillTime) {
    inWaterStill();
    h().cores[1] = 99;
    sim.frame();
    sim.complete("horseDrinkPrompt");
    sim.frame();
    int overpowers = 0;
    std::int32_t filledAt = 0, overpoweredAt = 0;
    sim.startCallLog();
    while (sim.host.elapsedMs < 5000) {
        sim.frame();
        if (!filledAt && h().cores[1] == 100) filledAt = sim.game.now;
        if (!overpoweredAt && h().overpowered) overpoweredAt = sim.game.now;
    }
    overpowers = countOf(sim.calls, "_ENABLE_ATTRIBUTE_CORE_OVERPOWER(1282, 1, 100, 0)");
    EXPECT_EQ(overpowers, 1);
    EXPECT_GT(overpoweredAt - filledAt, 2000);
    EXPECT_LE(overpoweredAt - filledAt, 2033);
}

TEST_F(WithAHorse, GrazingGivesAHealthPointEveryTwoSecondsAndFivePointsEvery25) {
    h().cores[0] = 50;
    sim.setScenario(horse, "WORLD_ANIMAL_HORSE_GRAZING_CAMP");
    std::vector<std::int32_t> healthAt, bonusAt;
    while (sim.host.elapsedMs < 60000) {
        const int health = h().cores[0], points = h().attributePoints13;
        sim.frame();
        if (h().cores[0] != health) healthAt.push_back(sim.game.now);
        if (h().attributePoints13 != points) bonusAt.push_back(sim.game.now);
    }
    ASSERT_GE(healthAt.size(), 20u);
    for (std::size_t i = 1; i < healthAt.size(); ++i) {
        EXPECT_GT(healthAt[i] - healthAt[i - 1], 2000);
        EXPECT_LE(healthAt[i] - healthAt[i - 1], 2033);
    }
    EXPECT_EQ(h().cores[0], 50 + static_cast<int>(healthAt.size()));
    ASSERT_EQ(bonusAt.size(), 3u); // at the start, then about every 25 seconds
    EXPECT_EQ(h().attributePoints13, 15);
    EXPECT_GT(bonusAt[1] - bonusAt[0], 25000);
    EXPECT_LE(bonusAt[1] - bonusAt[0], 25066);
}

TEST(Horse, TheBonusLatchKeepsAtExactly25000AndClearsAt25001) {
    for (const int elapsed : {25000, 25001}) {
        sim::Options o;
        o.frameMs = 1;
        Sim sim(o);
        const Handle horse = sim.spawnHorse(103, 200, 30, 180);
        sim.frame();
        sim.target(horse);
        sim.frame();
        sim.setScenario(horse, "WORLD_ANIMAL_HORSE_GRAZING");
        sim.frame(); // the bonus is given in this pass
        ASSERT_EQ(sim.game.entity(horse)->attributePoints13, 5);
        sim.clearScenario(horse);
        sim.advance(elapsed - 1);
        sim.setScenario(horse, "WORLD_ANIMAL_HORSE_GRAZING");
        sim.frame(); // `elapsed` ms after the bonus
        EXPECT_EQ(sim.game.entity(horse)->attributePoints13, 5) << elapsed;
        sim.frame();
        EXPECT_EQ(sim.game.entity(horse)->attributePoints13, elapsed == 25000 ? 5 : 10) << elapsed;
    }
}

TEST(Horse, ABonusGivenWhenTheTimerReadsZeroIsReArmedInTheSameFrame) {
    sim::Options o;
    o.frameMs = 1;
    o.startTime = -3; // the timer reads 0 in the fourth pass
    Sim sim(o);
    const Handle horse = sim.spawnHorse(103, 200, 30, 180);
    sim.target(horse);
    sim.frame(2);
    sim.setScenario(horse, "WORLD_ANIMAL_HORSE_GRAZING");
    sim.frame(); // timer 0: given and re-armed at once
    sim.frame();
    EXPECT_EQ(sim.game.entity(horse)->attributePoints13, 10);
}
