// Everything scriptMain carries from pass to pass, in one place: plain values only, which a new
// start rebuilds, for the host drops the script's stack at a load without unwinding it.
#pragma once

#include "host/natives.h"
#include "prompts/prompts.h"

#include <array>
#include <cstdint>

inline constexpr std::array<const char*, 7> sitActivityScenarios = {
    "WORLD_HUMAN_SIT_SMOKE",
    "WORLD_HUMAN_SIT_DRINK",
    "WORLD_HUMAN_SIT_GROUND_COFFEE_DRINK",
    "WORLD_HUMAN_SIT_GROUND_DRINK_DRUNK",
    "WORLD_HUMAN_SIT_GROUND_READING",
    "WORLD_HUMAN_SIT_GROUND_READ_NEWSPAPER",
    "WORLD_HUMAN_SIT_GROUND_WHITTLE",
};

inline constexpr std::array<const char*, 2> sitGroundScenarios = {
    "GENERIC_SIT_GROUND_SCENARIO",
    "WORLD_HUMAN_SIT_GROUND",
};

inline constexpr std::array<const char*, 4> navControlNames = {
    "INPUT_FRONTEND_NAV_RIGHT",
    "INPUT_FRONTEND_NAV_LEFT",
    "INPUT_FRONTEND_NAV_UP",
    "INPUT_FRONTEND_NAV_DOWN",
};

inline constexpr std::array<const char*, 16> restScenarioNames = {
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
};

inline constexpr std::array<const char*, 3> horseGrazeNames = {
    "WORLD_ANIMAL_HORSE_GRAZING_DOMESTIC",
    "WORLD_ANIMAL_HORSE_GRAZING",
    "WORLD_ANIMAL_HORSE_GRAZING_CAMP",
};

// The attribute cores the plug-in reads and refills, by the index the game gives them.
inline constexpr std::int32_t healthCore = 0;
inline constexpr std::int32_t staminaCore = 1;

struct LoopState {
    // Hashed once at start-up.
    std::array<Hash, 4> navControlHashes{};
    std::array<Hash, 16> restScenarioHashes{};
    std::array<Hash, 3> horseGrazeHashes{};

    PromptSet prompts{}; // made from the label texts, which live outside the run

    // Carried from pass to pass.
    Handle playerScenarioPoint = 0;
    Handle horseScenarioPoint = 0;
    Handle playerHorse = 0;
    bool restScenarioStarted = false;
    bool smokeScenarioStarted = false;
    std::int32_t waterActivityStartTime = 0;
    std::int32_t menuPromptShownTime = 0;
    std::int32_t nextStaminaRefillTime = 0;
    std::int32_t nextGrazeRefillTime = 0;
    std::int32_t horseRestRefillTime = 0;
    std::int32_t grazeBonusTime = 0;
    bool grazeBonusGiven = false;
    Hash currentWeapon = 0;

    // Sampled afresh at the top of every pass.
    Handle playerPed = 0;
    float playerHeading = 0;
    Vector3 playerPosition{};
    bool horseIsDrinking = false;
    Vector3 horsePosition{};
    float horseHeading = 0;
    std::int32_t horsePromptGroup = 0;
    bool satchelReleased = false;
};
