#include "play.h"

namespace {

std::uint64_t digestOf(int passes) {
    Sim sim;
    const Handle horse = sim.spawnHorse(103, 200, 30, 180);
    sim.target(horse);
    for (int i = 0; i < passes; ++i) {
        if (i % 997 == 0) sim.release("INPUT_OPEN_SATCHEL_MENU");
        if (i % 1499 == 0) sim.press("INPUT_FRONTEND_NAV_LEFT");
        if (i % 3001 == 0) sim.setScenario(sim.player, "WORLD_HUMAN_SIT_GROUND");
        sim.frame();
    }
    return sim.host.digest;
}

} // namespace

TEST(Determinism, TwoRunsOfAHundredThousandPassesAreIdentical) {
    const std::uint64_t first = digestOf(100000);
    EXPECT_EQ(first, digestOf(100000));
    EXPECT_NE(first, digestOf(99999));
}
