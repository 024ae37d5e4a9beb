#include "play.h"

#include <climits>
#include <set>

namespace {

sim::Options millisecondFrames() {
    sim::Options o;
    o.frameMs = 1;
    return o;
}

const std::vector<std::string> mainEntries = {"sitActivityPrompt", "sitGroundPrompt",
                                              "menuClosePrompt", "smokeMenuPrompt"};

} // namespace

TEST(MenuPrompt, TheSatchelReleaseShowsItForTwoSecondsInclusive) {
    Sim sim(millisecondFrames());
    sim.frame();
    sim.release("INPUT_OPEN_SATCHEL_MENU");
    const auto calls =
        between(callsOf(sim), "IS_USING_KEYBOARD_AND_MOUSE", completedQuery(handle::menu, 0) + "x");
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 6),
              flat({"IS_USING_KEYBOARD_AND_MOUSE(0) = 0", shownCalls(handle::menu, 1),
                    "GET_GAME_TIMER() = 60002", completedQuery(handle::menu, 0),
                    "GET_GAME_TIMER() = 60002"}));
    sim.advance(2000);
    EXPECT_EQ(sim.game.now, 60002 + 2000);
    EXPECT_TRUE(sim.shown("menuPrompt")); // 2000 ms after showing
    sim.frame();
    EXPECT_FALSE(sim.shown("menuPrompt"));
}

TEST(MenuPrompt, WithKeyboardAndMouseTheSatchelShowsNothingAndKeepsAnEarlierWindow) {
    Sim sim(millisecondFrames());
    sim.frame();
    sim.release("INPUT_OPEN_SATCHEL_MENU");
    sim.frame();
    sim.advance(1500);
    sim.game.usingKeyboardAndMouse = true;
    sim.release("INPUT_OPEN_SATCHEL_MENU");
    sim.frame();
    sim.advance(499);
    EXPECT_TRUE(sim.shown("menuPrompt"));
    sim.frame();
    EXPECT_FALSE(sim.shown("menuPrompt"));                              // the first window ran out
    EXPECT_EQ(countOf(callsOf(sim), "IS_USING_KEYBOARD_AND_MOUSE"), 0); // asked only on a release
}

TEST(MenuPrompt, CompletingItHidesItAndOpensTheMenuInTheSamePass) {
    Sim sim;
    sim.frame();
    sim.release("INPUT_OPEN_SATCHEL_MENU");
    sim.frame();
    sim.complete("menuPrompt");
    const auto calls = callsOf(sim);
    EXPECT_EQ(between(calls, completedQuery(handle::menu, 1), completedQuery(handle::menuClose, 0)),
              flat({completedQuery(handle::menu, 1), shownCalls(handle::menu, 0),
                    completedQuery(handle::menu, 1), shownCalls(handle::sitActivity, 1),
                    shownCalls(handle::menuClose, 1), shownCalls(handle::smokeMenu, 1),
                    shownCalls(handle::sitGround, 1)}));
    EXPECT_THAT(sim.visiblePrompts(), ElementsAreArray({"sitActivityPrompt", "sitGroundPrompt",
                                                        "menuClosePrompt", "smokeMenuPrompt"}));
}

TEST(RestMenu, TheHotkeyOpensItOnLandOutOfAFight) {
    Sim sim;
    sim.frame();
    sim.releaseKey(89);
    const auto calls = callsOf(sim);
    EXPECT_EQ(between(calls, "IS_ENTITY_IN_WATER(1026) = 0\x01", "x"), std::vector<std::string>{});
    const auto open = between(calls, shownCalls(handle::menu, 0).substr(0, 31),
                              completedQuery(handle::menuClose, 0));
    EXPECT_EQ(std::vector<std::string>(open.begin() + 2, open.end()),
              flat({"IS_ENTITY_IN_WATER(1026) = 0", "IS_PED_IN_COMBAT(1026, 0) = 0",
                    shownCalls(handle::sitActivity, 1), shownCalls(handle::menuClose, 1),
                    shownCalls(handle::smokeMenu, 1), shownCalls(handle::sitGround, 1)}));
    EXPECT_EQ(sim.visiblePrompts(), mainEntries);
    sim.releaseKey(90); // another key does nothing
    sim.complete("menuClosePrompt");
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}

TEST(RestMenu, AHotkeyReleaseInWaterOrCombatIsUsedUpWithoutOpening) {
    Sim sim;
    sim.frame();
    sim.wadeIntoWater();
    sim.walk(); // no water prompts in the way
    sim.releaseKey(89);
    auto calls = callsOf(sim);
    EXPECT_EQ(countOf(calls, "IS_ENTITY_IN_WATER(1026) = 1"),
              1);                                     // the hotkey's (walking: no water prompts)
    EXPECT_EQ(countOf(calls, "IS_PED_IN_COMBAT"), 0); // not asked after the water
    EXPECT_EQ(countOf(calls, completedQuery(handle::menu, 0)), 2);
    sim.wadeOutOfWater();
    sim.frame(2);
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty()); // and it does not open later
    sim.startCombat();
    sim.releaseKey(89);
    sim.frame();
    sim.stopCombat();
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}

TEST(RestMenu, TheSatchelPromptOpensItEvenInWaterAndInAFight) {
    Sim sim;
    sim.frame();
    sim.wadeIntoWater();
    sim.startCombat();
    openRestMenu(sim);
    EXPECT_EQ(sim.visiblePrompts(), mainEntries);
}

TEST(RestMenu, AReleaseIsAnsweredOnlyByAPassWithin100msOfIt) {
    for (const int frameMs : {99, 100}) {
        sim::Options o;
        o.frameMs = frameMs;
        Sim sim(o);
        sim.frame();
        sim.releaseKey(89);
        sim.frame(); // the next pass comes frameMs later
        EXPECT_EQ(sim.visiblePrompts().size(), frameMs == 99 ? 4u : 0u) << frameMs;
    }
}

TEST(RestMenu, AReleaseDuringTheExitWaitCountsOnlyWithin100msOfItsEnd) {
    for (const int beforeTheEnd : {150, 50}) {
        Sim sim;
        sim.frame();
        openRestMenu(sim);
        sim.complete("sitGroundPrompt");
        sim.frame(15);
        sim.press("INPUT_FRONTEND_NAV_DOWN");
        sim.frame();
        sim.release("INPUT_FRONTEND_NAV_DOWN");
        sim.frame(); // this pass waits 3000 ms
        const std::int64_t resumes = sim.host.waitSince + 3000;
        while (sim.host.elapsedMs + 33 < resumes - beforeTheEnd) sim.frame();
        sim.releaseKey(89);
        sim.advance(200);
        EXPECT_EQ(sim.visiblePrompts().size(), beforeTheEnd == 50 ? 4u : 0u) << beforeTheEnd;
    }
}

TEST(RestMenu, TheSmokingChoiceKeepsCloseAndOpeningAgainShowsAllSix) {
    Sim sim;
    sim.frame();
    openRestMenu(sim);
    sim.complete("smokeMenuPrompt");
    const auto calls = callsOf(sim);
    EXPECT_EQ(
        between(calls, completedQuery(handle::smokeMenu, 1), completedQuery(handle::cigar, 0)),
        flat({completedQuery(handle::smokeMenu, 1), shownCalls(handle::sitActivity, 0),
              shownCalls(handle::smokeMenu, 0), shownCalls(handle::sitGround, 0),
              shownCalls(handle::cigar, 1), shownCalls(handle::smoke, 1)}));
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("menuClosePrompt", "cigarPrompt", "smokePrompt"));
    sim.releaseKey(89);
    sim.frame();
    EXPECT_EQ(sim.visiblePrompts().size(), 6u);
    sim.complete("smokeMenuPrompt");
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), ElementsAre("menuClosePrompt", "cigarPrompt", "smokePrompt"));
}

TEST(RestMenu, AnyScenarioClosesItInThePassItIsOpened) {
    Sim sim;
    sim.frame();
    sim.setScenario(sim.player, "WORLD_PLAYER_CAMP_FIRE_SIT");
    sim.releaseKey(89);
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
    sim.clearScenario(sim.player);
    sim.releaseKey(89);
    sim.forceCompletion("menuClosePrompt"); // completed in the very pass it opens
    const auto calls = callsOf(sim);
    EXPECT_EQ(countOf(calls, "IS_PED_USING_ANY_SCENARIO(1026)"), 2); // only the sampling's two
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}

TEST(RestActivities, TheSitEntryStartsOneOfItsSevenAndTheGroundEntryOneOfItsTwo) {
    std::set<std::string> sits, grounds;
    Sim sim;
    sim.frame();
    for (int i = 0; i < 60; ++i) {
        sim.forceCompletion(i % 2 ? "sitGroundPrompt" : "sitActivityPrompt");
        sim.frame();
        (i % 2 ? grounds : sits).insert(sim.scenarioOf(sim.player));
        sim.clearScenario(sim.player);
        sim.frame(12);
    }
    EXPECT_EQ(sits, (std::set<std::string>{
                        "WORLD_HUMAN_SIT_SMOKE", "WORLD_HUMAN_SIT_DRINK",
                        "WORLD_HUMAN_SIT_GROUND_COFFEE_DRINK", "WORLD_HUMAN_SIT_GROUND_DRINK_DRUNK",
                        "WORLD_HUMAN_SIT_GROUND_READING", "WORLD_HUMAN_SIT_GROUND_READ_NEWSPAPER",
                        "WORLD_HUMAN_SIT_GROUND_WHITTLE"}));
    EXPECT_EQ(grounds,
              (std::set<std::string>{"GENERIC_SIT_GROUND_SCENARIO", "WORLD_HUMAN_SIT_GROUND"}));
}

TEST(RestActivities, ARandomAnswerOutsideTheListIsFoldedBackIntoIt) {
    Sim sim;
    sim.frame();
    const std::pair<int, const char*> cases[] = {
        {7, "WORLD_HUMAN_SIT_SMOKE"},                        // 7 mod 7
        {-1, "WORLD_HUMAN_SIT_GROUND_WHITTLE"},              // the last
        {INT_MIN, "WORLD_HUMAN_SIT_GROUND_READ_NEWSPAPER"}}; // -2147483648 = -306783378 * 7 - 2
    for (const auto& [answer, scenario] : cases) {
        sim.game.forcedRandom.push_back(answer);
        sim.forceCompletion("sitActivityPrompt");
        const auto calls = callsOf(sim);
        EXPECT_EQ(countOf(calls, "GET_RANDOM_INT_IN_RANGE(0, 7) = " + std::to_string(answer)), 1);
        EXPECT_EQ(sim.scenarioOf(sim.player), scenario) << answer;
        sim.clearScenario(sim.player);
        sim.frame(12);
    }
    sim.game.forcedRandom.push_back(-3);
    sim.forceCompletion("sitGroundPrompt");
    sim.frame();
    EXPECT_EQ(sim.scenarioOf(sim.player), "WORLD_HUMAN_SIT_GROUND");
}

TEST(RestActivities, TwoEntriesInOnePassBothStartInPassOrderAndTheFirstPointIsLeft) {
    Sim sim;
    sim.frame();
    openRestMenu(sim);
    sim.forceCompletion("sitActivityPrompt");
    sim.forceCompletion("cigarPrompt");
    const auto calls = callsOf(sim);
    EXPECT_EQ(countOf(calls, "CREATE_SCENARIO_POINT_HASH"), 2);
    EXPECT_EQ(sim.scenarioOf(sim.player), "WORLD_HUMAN_SMOKE_CIGAR");
    EXPECT_EQ(countOf(calls, "_DELETE_SCENARIO_POINT(376833)"), 0);
}
