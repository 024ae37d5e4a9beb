// Every refill timer to the millisecond: with one-millisecond frames, each timed step comes in
// the first pass strictly later than its time, and its re-arm counts from that pass. Frames of
// 33 ms could not tell a delay of 2000 from one of 2001.
#include "play.h"

#include <functional>

namespace {

struct ToTheMillisecond : ::testing::Test {
    static sim::Options oneMillisecondFrames() {
        sim::Options o;
        o.frameMs = 1;
        return o;
    }
    Sim sim{oneMillisecondFrames()};
    Handle horse = sim.spawnHorse(105, 200, 30, 270);
    void SetUp() override {
        sim.frame();
        sim.target(horse);
        sim.frame();
    }
    sim::Entity& h() { return *sim.game.entity(horse); }

    // The game times at which `value` changed, over `ms` of play.
    std::vector<std::int32_t> changes(const std::function<int()>& value, int ms) {
        std::vector<std::int32_t> at;
        for (int i = 0; i < ms; ++i) {
            const int before = value();
            sim.frame();
            if (value() != before) at.push_back(sim.game.now);
        }
        return at;
    }
    void sitByTheFire() { sim.setScenario(sim.player, "WORLD_PLAYER_CAMP_FIRE_SIT"); }
};

std::vector<std::int32_t> every(std::int32_t first, std::int32_t step, int count) {
    std::vector<std::int32_t> out;
    for (int i = 0; i < count; ++i) out.push_back(first + i * step);
    return out;
}

} // namespace

TEST_F(ToTheMillisecond, TheDrinkRefillsFirst1001msAfterTheCommandThenEvery2001) {
    h().inWater = true;
    h().cores[1] = 90;
    sim.frame();
    sim.complete("horseDrinkPrompt");
    sim.frame();
    const std::int32_t command = sim.game.now;
    ASSERT_EQ(sim.scenarioOf(horse), "WORLD_ANIMAL_HORSE_DRINK_GROUND");
    EXPECT_EQ(changes([&] { return h().cores[1]; }, 6000), every(command + 1001, 2001, 3));
}

TEST_F(ToTheMillisecond, GrazingHealsAtOnceThenEvery2001) {
    h().cores[0] = 90;
    sim.setScenario(horse, "WORLD_ANIMAL_HORSE_GRAZING");
    const std::int32_t start = sim.game.now + 1;
    EXPECT_EQ(changes([&] { return h().cores[0]; }, 7000), every(start, 2001, 4));
}

TEST_F(ToTheMillisecond, TheRiderRefillsAtOnceThenEvery2001WhileTheFullHorseDrinks) {
    sitByTheFire();
    sim.me().cores[1] = 90;
    sim.setScenario(horse, "WORLD_ANIMAL_HORSE_DRINK_GROUND");
    const std::int32_t start = sim.game.now + 1;
    EXPECT_EQ(changes([&] { return sim.me().cores[1]; }, 7000), every(start, 2001, 4));
}

TEST_F(ToTheMillisecond, TheRestingHorseRefillsFirst3001msAfterTheCommandThenEvery3001) {
    sitByTheFire();
    h().cores[1] = 90;
    sim.release("INPUT_INTERACT_LOCKON");
    sim.frame();
    const std::int32_t command = sim.game.now;
    ASSERT_EQ(sim.scenarioOf(horse), "WORLD_ANIMAL_HORSE_RESTING");
    EXPECT_EQ(changes([&] { return h().cores[1]; }, 10000), every(command + 3001, 3001, 3));
}

// Cores far outside 0-100, which a game could answer: the steps keep the float arithmetic, so
// where singles are a whole number apart p + 1.5 rounds to even before it is cut, and a
// negative resting t + 1.0 is cut toward zero.
TEST_F(ToTheMillisecond, OddCoresAreSteppedByTheFloatArithmetic) {
    sim.setScenario(horse, "WORLD_ANIMAL_HORSE_DRINK_GROUND");
    sim.startCallLog();
    for (const std::int32_t v : {-8388610, -8388611}) {
        h().cores[1] = v;
        sim.advance(2001);
    }
    EXPECT_EQ(countOf(sim.calls, "_SET_ATTRIBUTE_CORE_VALUE(1282, 1, -8388608)"), 1);
    EXPECT_EQ(countOf(sim.calls, "_SET_ATTRIBUTE_CORE_VALUE(1282, 1, -8388610)"), 1);

    // The rider, while the horse drinks at full stamina.
    h().cores[1] = 100;
    sitByTheFire();
    sim.startCallLog();
    for (const std::int32_t p : {-8388610, -8388611}) {
        sim.me().cores[1] = p;
        sim.advance(2001);
    }
    EXPECT_EQ(countOf(sim.calls, "_SET_ATTRIBUTE_CORE_VALUE(1026, 1, -8388608)"), 1);
    EXPECT_EQ(countOf(sim.calls, "_SET_ATTRIBUTE_CORE_VALUE(1026, 1, -8388610)"), 1);

    sim.setScenario(horse, "WORLD_ANIMAL_HORSE_RESTING");
    h().cores[1] = -5;
    sim.startCallLog();
    sim.frame();
    EXPECT_EQ(countOf(sim.calls, "_SET_ATTRIBUTE_CORE_VALUE(1282, 1, -4)"), 1);
}

// At full stamina a drinking or resting horse is overpowered in the first pass strictly later
// than the refill time its last point set, and once: not again while it is overpowered.
TEST_F(ToTheMillisecond, AFullHorseIsOverpowered2001msAfterItsLastPointAndOnlyOnce) {
    for (const char* scenario : {"WORLD_ANIMAL_HORSE_DRINK_GROUND", "WORLD_ANIMAL_HORSE_RESTING"}) {
        SCOPED_TRACE(scenario);
        h().overpowered = false;
        h().cores[1] = 99;
        sim.setScenario(horse, "WORLD_ANIMAL_HORSE_DRINK_GROUND");
        sim.startCallLog();
        std::int32_t filled = 0;
        std::vector<std::int32_t> overpowered;
        for (int i = 0; i < 5000; ++i) {
            sim.frame();
            if (!filled && h().cores[1] == 100) {
                filled = sim.game.now;
                sim.setScenario(horse, scenario); // from the next pass on
            }
            if (h().overpowered && overpowered.empty()) overpowered.push_back(sim.game.now);
        }
        EXPECT_EQ(overpowered, std::vector<std::int32_t>{filled + 2001});
        EXPECT_EQ(countOf(sim.calls, "_ENABLE_ATTRIBUTE_CORE_OVERPOWER(1282, 1, 100, 0)"), 1);
    }
}

// Every refill time starts at 0: in a game whose timer passes 0 just after the plug-in starts,
// each first refill comes at timer 1, the first pass strictly later than 0.
TEST(Timers, EachRefillTimeStartsAtZero) {
    struct Case {
        const char* what;
        std::function<void(Sim&, sim::Entity& horse)> set;
        std::function<int(Sim&, sim::Entity& horse)> value;
    };
    const Case cases[] = {
        {"the drink",
         [](Sim& sim, sim::Entity& h) {
             h.cores[1] = 90;
             sim.setScenario(h.handle, "WORLD_ANIMAL_HORSE_DRINK_GROUND");
         },
         [](Sim&, sim::Entity& h) { return h.cores[1]; }},
        {"grazing",
         [](Sim& sim, sim::Entity& h) {
             h.cores[0] = 90;
             sim.setScenario(h.handle, "WORLD_ANIMAL_HORSE_GRAZING");
         },
         [](Sim&, sim::Entity& h) { return h.cores[0]; }},
        {"the rider",
         [](Sim& sim, sim::Entity& h) {
             sim.setScenario(sim.player, "WORLD_PLAYER_CAMP_FIRE_SIT");
             sim.me().cores[1] = 90;
             sim.setScenario(h.handle, "WORLD_ANIMAL_HORSE_DRINK_GROUND");
         },
         [](Sim& sim, sim::Entity&) { return sim.me().cores[1]; }},
        {"the resting horse",
         [](Sim& sim, sim::Entity& h) {
             sim.setScenario(sim.player, "WORLD_PLAYER_CAMP_FIRE_SIT");
             h.cores[1] = 90;
             sim.setScenario(h.handle, "WORLD_ANIMAL_HORSE_RESTING");
         },
         [](Sim&, sim::Entity& h) { return h.cores[1]; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::Options o;
        o.frameMs = 1;
        o.startTime = -5;
        Sim sim(o);
        const Handle horse = sim.spawnHorse(105, 200, 30, 270);
        sim.target(horse);
        c.set(sim, *sim.game.entity(horse));
        std::int32_t first = 0;
        while (!first && sim.game.now < 100) {
            const int before = c.value(sim, *sim.game.entity(horse));
            sim.frame();
            if (c.value(sim, *sim.game.entity(horse)) != before) first = sim.game.now;
        }
        EXPECT_EQ(first, 1);
    }
}
