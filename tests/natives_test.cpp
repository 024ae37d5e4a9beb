// The push protocol and its encodings, byte for byte, against the stand-in host.
#include "host/natives.h"
#include "sim/errors.h"
#include "sim/host.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Protocol : ::testing::Test {
    std::vector<sim::Call> calls;
    void SetUp() override {
        sim::resetHost();
        sim::host().inScript = true; // as if the script were making the calls
        sim::host().trace = [this](const sim::Call& c) { calls.push_back(c); };
    }
    void TearDown() override { sim::host().inScript = false; }
    std::vector<std::uint64_t> args(std::size_t i = 0) const {
        return {calls.at(i).args, calls.at(i).args + calls.at(i).argc};
    }
};

} // namespace

TEST_F(Protocol, ScenarioPointCreationPushesSinglesAndOneAllBitsMinusOne) {
    createScenarioPoint(0xF00DCAFEu, 1.5f, -2.0f, 30.25f, 90.0f);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].hash, 0x94B745CE41DB58A1u);
    EXPECT_EQ(args(),
              (std::vector<std::uint64_t>{0xF00DCAFEu, 0x3FC00000u, 0xC0000000u, 0x41F20000u,
                                          0x42B40000u, 0u, 0xFFFFFFFFFFFFFFFFu, 1u}));
}

TEST_F(Protocol, UseScenarioPointZeroExtendsTheDurationAndPushesTheOddNinth) {
    useScenarioPoint(1026, 0x5C001, -1);
    useScenarioPoint(1282, 0x5C002, 20000);
    EXPECT_EQ(args(0), (std::vector<std::uint64_t>{1026u, 0x5C001u, 0u, 0x00000000FFFFFFFFu, 1u, 0u,
                                                   0u, 1u, 0xCE810000u, 1u}));
    EXPECT_EQ(args(1)[3], 20000u);
}

TEST_F(Protocol, CoordsComeFromThreeEightByteSlots) {
    sim::Entity e;
    e.position = {1.25f, -7.5f, 99.0f};
    const Handle h = sim::host().game.spawn(e);
    const Vector3 v = getEntityCoords(h);
    EXPECT_EQ(args(), (std::vector<std::uint64_t>{static_cast<std::uint32_t>(h), 1u, 0u}));
    EXPECT_EQ(v.x, 1.25f);
    EXPECT_EQ(v.y, -7.5f);
    EXPECT_EQ(v.z, 99.0f);
}

TEST_F(Protocol, DistanceOverpowerAndNegativeHandles) {
    EXPECT_FLOAT_EQ(getDistanceBetweenCoords(0, 0, 0, 3, 4, 12), 13.0f);
    EXPECT_EQ(args(0).back(), 1u);
    enableCoreOverpower(1026);
    EXPECT_EQ(args(1), (std::vector<std::uint64_t>{1026u, 1u, 0x42C80000u, 0u}));
    invoke(op::deleteScenarioPoint, -1);
    EXPECT_EQ(args(2), (std::vector<std::uint64_t>{0x00000000FFFFFFFFu}));
}

TEST_F(Protocol, TextHandlesKeepAllSixtyFourBitsAndNamesGoByAddress) {
    const char* label = "Rest a while";
    const TextHandle t = invoke<TextHandle>(op::literalText, 10, "LITERAL_STRING", label);
    EXPECT_GT(t, 0xFFFFFFFFu);
    EXPECT_EQ(args()[2], reinterpret_cast<std::uintptr_t>(label));
    EXPECT_EQ(hashOf("WORLD_HUMAN_SMOKE"), hashOf("world_human_smoke"));
}

TEST(StandInGame, FailsLoudlyAndEndsTheScriptsRunThere) {
    // Each a script of its own whose first call is malformed: the game ends the run there,
    // without unwinding the script, and the frame says why.
    for (void (*script)() :
         {+[] { invoke(0x1234567812345678u); },
          +[] { invoke(op::pedIsStill, 1, 2); },                 // one argument too many
          +[] { invoke(op::clearPedTasks, 1026, 2, 1); },        // a boolean of 2
          +[] { invoke(op::promptSetText, 0x701, 0x7E57u); }}) { // text cut short
        sim::resetHost();
        sim::host().script = script;
        EXPECT_THROW(sim::runFrame(), sim::GameError);
        EXPECT_TRUE(sim::host().finished);
        EXPECT_NO_THROW(sim::runFrame()); // an ended run is not resumed
    }
}

TEST_F(Protocol, OutsideTheScriptNoNativeMayBeCalled) {
    sim::host().inScript = false;
    EXPECT_THROW(invoke<std::int32_t>(op::gameTimer), sim::GameError);
    EXPECT_THROW(scriptWait(0), sim::GameError);
}
