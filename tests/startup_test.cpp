#include "play.h"

namespace {

const char* const labelFile = "1=Wash face\n2=Sit on ground\n3=Sit\n4=Smoke menu\n5=Cigar\n"
                              "6=Smoke\n7=Horse drink\n8=Rest menu\n9=Drink water\n10=Close\n";

std::vector<std::string> hashCall(const char* name) {
    return {std::string("GET_HASH_KEY(\"") + name + "\") = " + name};
}

} // namespace

TEST(StartUp, HashesTheTablesInOrderThenCreatesTenPromptsOfNineCallsEach) {
    sim::Options o;
    o.dat = labelFile;
    Sim sim(o);
    const auto calls = callsOf(sim);

    std::vector<std::string> expected;
    for (const char* n : {"INPUT_FRONTEND_NAV_RIGHT",
                          "INPUT_FRONTEND_NAV_LEFT",
                          "INPUT_FRONTEND_NAV_UP",
                          "INPUT_FRONTEND_NAV_DOWN",
                          "GENERIC_SIT_GROUND_SCENARIO",
                          "WORLD_HUMAN_SIT_GROUND",
                          "WORLD_HUMAN_SIT_GROUND_WHITTLE",
                          "WORLD_PLAYER_SLEEP_BEDROLL",
                          "WORLD_PLAYER_SLEEP_GROUND",
                          "WORLD_HUMAN_SIT_GUITAR",
                          "WORLD_HUMAN_SIT_SMOKE",
                          "WORLD_HUMAN_SIT_DRINK",
                          "WORLD_HUMAN_SIT_GROUND_COFFEE_DRINK",
                          "WORLD_HUMAN_SIT_GROUND_DRINK_DRUNK",
                          "WORLD_HUMAN_SIT_GROUND_READING",
                          "WORLD_HUMAN_SLEEP_GROUND_ARM",
                          "WORLD_CAMP_FIRE_SIT_GROUND",
                          "WORLD_HUMAN_SIT_GROUND_READ_NEWSPAPER",
                          "WORLD_HUMAN_FIRE_SIT",
                          "WORLD_PLAYER_CAMP_FIRE_SIT",
                          "WORLD_ANIMAL_HORSE_GRAZING_DOMESTIC",
                          "WORLD_ANIMAL_HORSE_GRAZING",
                          "WORLD_ANIMAL_HORSE_GRAZING_CAMP"})
        expected.push_back(hashCall(n)[0]);

    const std::pair<const char*, const char*> prompts[] = {
        {"INPUT_CONTEXT_Y", "Wash face"}, {"INPUT_CONTEXT_B", "Drink water"},
        {"INPUT_CONTEXT_Y", "Sit"},       {"INPUT_INTERACT_OPTION1", "Sit on ground"},
        {"INPUT_CONTEXT_B", "Close"},     {"INPUT_CONTEXT_A", "Smoke menu"},
        {"INPUT_CONTEXT_Y", "Cigar"},     {"INPUT_CONTEXT_X", "Smoke"},
        {"INPUT_SPRINT", "Horse drink"},  {"INPUT_CONTEXT_Y", "Rest menu"}};
    int n = 0;
    for (const auto& [control, label] : prompts) {
        const std::string p = std::to_string(0x700 + n * 3 + 1);
        char text[32];
        std::snprintf(text, sizeof text, "0x%llX", 0x7E57000000000001ull + n);
        expected.push_back("_UI_PROMPT_REGISTER_BEGIN() = " + p);
        expected.push_back(hashCall(control)[0]);
        expected.push_back("_UI_PROMPT_SET_CONTROL_ACTION(" + p + ", " + control + ")");
        expected.push_back(std::string("VAR_STRING(10, \"LITERAL_STRING\", \"") + label +
                           "\") = " + text);
        expected.push_back("_UI_PROMPT_SET_TEXT(" + p + ", " + text + ")");
        expected.push_back("_UI_PROMPT_SET_STANDARD_MODE(" + p + ", 1)");
        expected.push_back("_UI_PROMPT_REGISTER_END(" + p + ")");
        expected.push_back("_UI_PROMPT_SET_ENABLED(" + p + ", 0)");
        expected.push_back("_UI_PROMPT_SET_VISIBLE(" + p + ", 0)");
        ++n;
    }
    ASSERT_GT(calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expected.size()), expected);
    // No wait before the loop: the first pass follows at once.
    EXPECT_EQ(calls[expected.size()], "PLAYER_PED_ID() = 1026");
}

TEST(StartUp, PromptsExistDisabledAndHiddenWithTheirLabelLines) {
    sim::Options o;
    o.dat = labelFile;
    Sim sim(o);
    sim.frame();
    ASSERT_EQ(sim.game.prompts.size(), 10u);
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
    for (const sim::Prompt& p : sim.game.prompts) {
        EXPECT_TRUE(p.registered);
        EXPECT_TRUE(p.standardMode);
        EXPECT_FALSE(p.enabled);
    }
    EXPECT_EQ(sim.prompt("drinkWaterPrompt").label, "Drink water"); // line 9, second created
    EXPECT_EQ(sim.prompt("menuClosePrompt").label, "Close");        // line 10, fifth created
    EXPECT_EQ(sim.prompt("horseDrinkPrompt").label, "Horse drink");
}

// Without a file of the player's the game is asked its language, once, where the file would
// have been read; with one (above) it never is.
TEST(StartUp, WithoutALabelFileTheGameIsAskedItsLanguageOnceBeforeThePrompts) {
    sim::Options o;
    o.language = 10;
    Sim sim(o);
    const auto calls = callsOf(sim);
    ASSERT_GT(calls.size(), 25u);
    EXPECT_EQ(calls[22], "GET_HASH_KEY(\"WORLD_ANIMAL_HORSE_GRAZING_CAMP\") = "
                         "WORLD_ANIMAL_HORSE_GRAZING_CAMP");
    EXPECT_EQ(calls[23], "GET_CURRENT_LANGUAGE() = 10");
    EXPECT_EQ(calls[24], "_UI_PROMPT_REGISTER_BEGIN() = 1793");
    EXPECT_EQ(countOf(calls, "GET_CURRENT_LANGUAGE"), 1);
    EXPECT_EQ(countOf(callsOf(sim, 100), "GET_CURRENT_LANGUAGE"), 0);
}

TEST(StartUp, CrLfLabelFilesReadTheSame) {
    std::string crlf;
    for (const char* c = labelFile; *c; ++c)
        crlf += *c == '\n' ? std::string("\r\n") : std::string(1, *c);
    sim::Options o;
    o.dat = crlf;
    Sim sim(o);
    sim.frame();
    EXPECT_EQ(sim.prompt("washFacePrompt").label, "Wash face");
    EXPECT_EQ(sim.prompt("menuClosePrompt").label, "Close");
}
