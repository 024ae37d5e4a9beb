#include "play.h"

namespace {

const std::string resting = "WORLD_ANIMAL_HORSE_RESTING";
const std::string drinking = "WORLD_ANIMAL_HORSE_DRINK_GROUND";

struct ByTheFire : ::testing::Test {
    sim::Options options() {
        sim::Options o;
        o.frameMs = 50;
        return o;
    }
    Sim sim{options()};
    Handle horse = sim.spawnHorse(105, 200, 30, 270);
    void SetUp() override {
        sim.frame();
        sim.target(horse);
        sim.setScenario(sim.player, "WORLD_PLAYER_CAMP_FIRE_SIT");
        sim.frame();
    }
    sim::Entity& h() { return *sim.game.entity(horse); }
    std::vector<std::string> restCare(const std::vector<std::string>& calls) {
        return between(calls, "IS_PED_USING_SCENARIO_HASH(1026, WORLD_PLAYER_CAMP_FIRE_SIT) = 1",
                       "scriptWait(0)");
    }
};

} // namespace

TEST_F(ByTheFire, TheRestCommandComputesBothThenTestsInOrderAndSendsTheHorse) {
    sim.release("INPUT_INTERACT_LOCKON");
    const auto calls = restCare(callsOf(sim));
    EXPECT_EQ(
        calls,
        flat({"IS_PED_USING_SCENARIO_HASH(1026, WORLD_PLAYER_CAMP_FIRE_SIT) = 1",
              // rider refill: full, so nothing more asked
              "_GET_ATTRIBUTE_CORE_VALUE(1026, 1) = 100",
              // resting refill: full
              "_GET_ATTRIBUTE_CORE_VALUE(1282, 1) = 100",
              "GET_DISTANCE_BETWEEN_COORDS(100, 200, 30, 105, 200, 30, 1) = 5",
              "GET_HASH_KEY(\"" + resting + "\") = " + resting,
              "IS_PED_USING_SCENARIO_HASH(1282, " + resting + ") = 0",
              "GET_ENTITY_MODEL(1282) = A_C_HORSE_ARABIAN_WHITE",
              "_IS_THIS_MODEL_A_HORSE(A_C_HORSE_ARABIAN_WHITE) = 1",
              "GET_HASH_KEY(\"INPUT_INTERACT_LOCKON\") = INPUT_INTERACT_LOCKON",
              "IS_CONTROL_JUST_RELEASED(0, INPUT_INTERACT_LOCKON) = 1",
              "GET_HASH_KEY(\"" + resting + "\") = " + resting,
              "CREATE_SCENARIO_POINT_HASH(" + resting + ", 105, 200, 30, 270, 0, -1, 1) = 376833",
              "TASK_USE_SCENARIO_POINT(1282, 376833, 0, -1, 1, 0, 0x00000000, 1, -1082130432, 1)",
              "GET_GAME_TIMER() = 60150"}));
    EXPECT_EQ(sim.scenarioOf(horse), resting);
    // While it rests, another release sends nothing.
    sim.release("INPUT_INTERACT_LOCKON");
    const auto again = restCare(callsOf(sim));
    EXPECT_EQ(again.back(), "IS_PED_USING_SCENARIO_HASH(1282, " + resting + ") = 1");
    EXPECT_EQ(sim.game.points.size(), 1u);
}

TEST_F(ByTheFire, TheHorseMustBeNearerThan20) {
    for (const float x : {119.99f, 120.0f}) {
        h().position = {x, 200, 30};
        sim.frame();
        sim.release("INPUT_INTERACT_LOCKON");
        sim.frame();
        EXPECT_EQ(sim.scenarioOf(horse), x < 120.0f ? resting : "") << x;
        sim.clearScenario(horse);
        sim.frame();
    }
    EXPECT_EQ(sim.game.points.size(), 1u);
}

TEST_F(ByTheFire, NotRestingTheSectionEndsAfterTheGateScan) {
    sim.clearScenario(sim.player);
    sim.frame();
    sim.me().cores[1] = 50;
    h().cores[1] = 50;
    sim.setScenario(horse, resting.c_str());
    sim.release("INPUT_INTERACT_LOCKON");
    const auto calls = sliceFrom(callsOf(sim), "GET_ATTRIBUTE_POINTS(1282, 13)");
    ASSERT_EQ(calls.size(), 1u + 3u + 16u + 1u); // points, graze scan, rest gate, the wait
    EXPECT_EQ(calls[4], "IS_PED_USING_SCENARIO_HASH(1026, GENERIC_SIT_GROUND_SCENARIO) = 0");
    EXPECT_EQ(calls.back(), "scriptWait(0)");
    sim.advance(10000);
    EXPECT_EQ(sim.me().cores[1], 50);
    EXPECT_EQ(h().cores[1], 50);
}

TEST_F(ByTheFire, TheHorsesRefillReArmsTheTimerBeforeTheRidersInTheSameFrame) {
    sim.me().cores[1] = 50;
    h().cores[1] = 98;
    sim.setScenario(horse, drinking.c_str());
    int riderGains = 0, horseGains = 0;
    while (sim.host.elapsedMs < 12000) {
        const int rider = sim.me().cores[1], mount = h().cores[1];
        sim.frame();
        riderGains += sim.me().cores[1] - rider;
        horseGains += h().cores[1] - mount;
        // Never both in one frame: the horse's refill moved the shared time first.
        EXPECT_FALSE(sim.me().cores[1] != rider && h().cores[1] != mount);
    }
    EXPECT_EQ(horseGains, 2);
    // The rider gains only once the horse is full: from the first frame later than its re-arm.
    EXPECT_GE(riderGains, 3);
}

TEST_F(ByTheFire, TenMinutesByTheFireWithTheHorseRestingDrinkingAndGrazing) {
    sim.me().cores[1] = 40;
    h().cores[1] = 30;
    h().cores[0] = 60;
    // The rules, run beside the game: each frame's time, in the section's order.
    int rider = 40, stamina = 30, health = 60, points = 0;
    std::int32_t staminaNext = 0, grazeNext = 0, restNext = 0, bonusTime = 0;
    bool bonusGiven = false;
    enum Phase { Waiting, Resting, Drinking, Grazing } phase = Waiting;
    auto rules = [&](std::int32_t t) {
        if (phase == Drinking) {
            if (stamina < 100 && t > staminaNext) {
                ++stamina;
                staminaNext = t + 2000;
            }
        }
        if (phase == Grazing && t > grazeNext) {
            health = std::min(health + 1, 100);
            grazeNext = t + 2000;
        }
        if (!bonusGiven && phase == Grazing) {
            bonusGiven = true;
            points += 5;
            bonusTime = t;
        }
        if (bonusGiven && (bonusTime == 0 || t - bonusTime > 25000)) bonusGiven = false;
        if (phase == Drinking && rider < 100 && t > staminaNext) {
            ++rider;
            staminaNext = t + 2000;
        }
        if (phase == Resting && stamina < 100 && t > restNext) {
            ++stamina;
            restNext = t + 3000;
        }
    };
    auto play = [&](std::int64_t untilMs) {
        while (sim.host.elapsedMs < untilMs) {
            sim.frame();
            if (phase == Waiting && sim.scenarioOf(horse) == resting) {
                phase = Resting;
                restNext = sim.game.now + 3000; // the command's own re-arm
                continue;
            }
            rules(sim.game.now);
        }
    };
    sim.release("INPUT_INTERACT_LOCKON");
    play(120000);
    ASSERT_EQ(phase, Resting);
    EXPECT_EQ(h().cores[1], stamina);
    sim.setScenario(horse, drinking.c_str()); // the game leads it to drink
    phase = Drinking;
    play(240000);
    EXPECT_EQ(h().cores[1], stamina);
    EXPECT_EQ(sim.me().cores[1], rider);
    sim.clearScenario(horse);
    phase = Waiting;
    sim.frame(); // a frame without a scenario: its point goes
    rules(sim.game.now);
    sim.setScenario(horse, "WORLD_ANIMAL_HORSE_GRAZING_DOMESTIC");
    phase = Grazing;
    play(600000);

    EXPECT_EQ(h().cores[1], stamina);
    EXPECT_EQ(sim.me().cores[1], rider);
    EXPECT_EQ(h().cores[0], health);
    EXPECT_EQ(h().attributePoints13, points);
    EXPECT_EQ(stamina, 100);
    EXPECT_EQ(health, 100);
    EXPECT_GT(rider, 40);
    EXPECT_EQ(points, 5 * 15); // 360 s of grazing, a bonus every 25.1 s
    EXPECT_EQ(sim.game.pointsLeftUndeleted(), 0u);
}
