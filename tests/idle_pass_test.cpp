#include "play.h"

TEST(IdlePass, OnLandWithNoTargetEveryBlockAsksOnlyItsGates) {
    Sim sim;
    sim.frame();
    const auto calls = sliceFrom(callsOf(sim), "GET_CURRENT_PED_WEAPON");
    const std::string wash = "WORLD_HUMAN_WASH_FACE_BUCKET_GROUND_NO_BUCKET";
    const std::string drink = "WORLD_HUMAN_BUCKET_DRINK_GROUND_NO_BUCKET";
    std::vector<std::string> expected = flat({
        // water prompts: the first failing gate (not in water) ends the offer test
        "GET_CURRENT_PED_WEAPON(1026, &, 1, 0, 1) = 1",
        "IS_PED_STILL(1026) = 1",
        "IS_PED_IN_COMBAT(1026, 0) = 0",
        "IS_ENTITY_IN_WATER(1026) = 0",
        shownCalls(handle::drinkWater, 0),
        shownCalls(handle::washFace, 0),
        completedQuery(handle::washFace, 0),
        completedQuery(handle::drinkWater, 0),
        // menu prompt: never shown, so hidden again
        completedQuery(handle::menu, 0),
        shownCalls(handle::menu, 0),
        // rest menu: no hotkey, so the satchel prompt is asked; close; the entries
        completedQuery(handle::menu, 0),
        completedQuery(handle::menuClose, 0),
        "IS_PED_USING_ANY_SCENARIO(1026) = 0",
        completedQuery(handle::sitActivity, 0),
        completedQuery(handle::sitGround, 0),
        completedQuery(handle::smokeMenu, 0),
        completedQuery(handle::cigar, 0),
        completedQuery(handle::smoke, 0),
        // water effects
        "GET_HASH_KEY(\"" + wash + "\") = " + wash,
        "IS_PED_USING_SCENARIO_HASH(1026, " + wash + ") = 0",
        "GET_HASH_KEY(\"" + drink + "\") = " + drink,
        "IS_PED_USING_SCENARIO_HASH(1026, " + drink + ") = 0",
        // horse section without a target: the grazing bonus on entity 0, the rest gate
        "PLAYER_ID() = 0",
        "GET_PLAYER_TARGET_ENTITY(0, &) = 0",
        "GET_ATTRIBUTE_POINTS(0, 13) = 0",
        "IS_PED_USING_SCENARIO_HASH(0, WORLD_ANIMAL_HORSE_GRAZING_DOMESTIC) = 0",
        "IS_PED_USING_SCENARIO_HASH(0, WORLD_ANIMAL_HORSE_GRAZING) = 0",
        "IS_PED_USING_SCENARIO_HASH(0, WORLD_ANIMAL_HORSE_GRAZING_CAMP) = 0",
    });
    for (const char* rest :
         {"GENERIC_SIT_GROUND_SCENARIO", "WORLD_HUMAN_SIT_GROUND", "WORLD_HUMAN_SIT_GROUND_WHITTLE",
          "WORLD_PLAYER_SLEEP_BEDROLL", "WORLD_PLAYER_SLEEP_GROUND", "WORLD_HUMAN_SIT_GUITAR",
          "WORLD_HUMAN_SIT_SMOKE", "WORLD_HUMAN_SIT_DRINK", "WORLD_HUMAN_SIT_GROUND_COFFEE_DRINK",
          "WORLD_HUMAN_SIT_GROUND_DRINK_DRUNK", "WORLD_HUMAN_SIT_GROUND_READING",
          "WORLD_HUMAN_SLEEP_GROUND_ARM", "WORLD_CAMP_FIRE_SIT_GROUND",
          "WORLD_HUMAN_SIT_GROUND_READ_NEWSPAPER", "WORLD_HUMAN_FIRE_SIT",
          "WORLD_PLAYER_CAMP_FIRE_SIT"})
        expected.push_back(std::string("IS_PED_USING_SCENARIO_HASH(1026, ") + rest + ") = 0");
    expected.push_back("scriptWait(0)");
    EXPECT_EQ(calls, expected);
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}
