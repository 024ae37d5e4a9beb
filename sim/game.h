// The stand-in game: the world the plug-in's natives ask about and act on.
#pragma once

#include "host/natives.h"

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

// The game's string hash: Jenkins one-at-a-time over the lower-cased name.
Hash joaat(const char* name);

inline constexpr Hash unarmed = 0xA2719263;

struct Entity {
    Handle handle = 0;
    bool exists = true;
    Hash model = 0;
    Vector3 position{};
    float heading = 0;
    bool inWater = false;
    bool still = true;
    bool inCombat = false;
    bool leadingHorse = false; // the state that holds back the water and horse-drink prompts
    Hash weapon = unarmed;
    std::int32_t promptGroup = 0;

    Hash scenario = 0;        // 0: no scenario
    Handle scenarioPoint = 0; // the point it was sent to, if any
    bool scenarioTimed = false;
    std::int32_t scenarioEnds = 0;

    std::int32_t cores[2] = {100, 100}; // 0 health, 1 stamina
    bool overpowered = false;
    std::int32_t overpowerEnds = 0;
    std::int32_t attributePoints13 = 0;

    int propsDiscarded = 0;
    int faceWashEffects = 0;
};

struct ScenarioPoint {
    Handle handle = 0;
    Hash scenario = 0;
    Vector3 position{};
    float heading = 0;
    bool deleted = false;
};

struct Prompt {
    Handle handle = 0;
    Hash control = 0;
    std::string label;
    bool registered = false;
    bool enabled = false;
    bool visible = false;
    bool standardMode = false;
    std::int32_t group = 0;
    std::int64_t completedFrame = -1;
    bool released = false; // made by a run of the script that a load ended
};

struct Game {
    // Clock: game time in ms and the frame count; GetTickCount is tickBase + now.
    std::int32_t now = 0;
    std::uint32_t tickBase = 0;
    std::int64_t frame = 0;

    Handle playerPed = 0;
    Handle playerIndex = 0;
    Handle target = 0;                  // 0: the player targets nothing
    bool targetQueryClearsSlot = false; // a game that writes 0 when there is no target
    bool usingKeyboardAndMouse = false;
    std::int32_t overpowerMs = 30000; // how long an enabled overpower lasts
    std::int32_t language = 0;        // the number the game gives the language it speaks

    std::vector<Hash> horseModels;
    std::vector<Entity> entities;
    std::vector<ScenarioPoint> points;
    std::vector<Prompt> prompts;
    std::size_t promptsFrom = 0; // the first prompt of the script's current run
    std::vector<std::string> texts;

    std::unordered_map<Hash, std::int64_t> pressedFrame;
    std::unordered_map<Hash, std::int64_t> releasedFrame;

    std::uint64_t rng = 1;
    std::deque<std::int32_t> forcedRandom; // answers of the random-integer query, on demand

    std::unordered_map<Hash, std::string> names;

    Entity* entity(Handle h);
    const Entity* entity(Handle h) const;
    Prompt* prompt(Handle h);
    // The i-th prompt the script's current run created, in creation order; null before it has.
    Prompt* runPrompt(std::size_t i);
    const Prompt* runPrompt(std::size_t i) const;
    const ScenarioPoint* point(Handle h) const;
    Handle spawn(Entity e);
    Hash remember(const char* name); // hashes a name and keeps it for the trace
    std::string nameOf(Hash h) const;

    // Ends timed scenarios and overpowers whose time has come; run at each new frame.
    void tick();
    // A load: what the script's run made is no one's any more. Its prompts leave the screen and
    // refuse further calls, its scenario points go, and a ped sent to one stands up; the
    // world itself (peds, cores, the clock) stays.
    void releaseRun();
    std::size_t pointsLeftUndeleted() const;
};

// The game's answer to one native call, written into `result` (three 8-byte slots).
// Throws GameError for an unknown hash or a malformed call.
void answer(Game& game, std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
            std::uint64_t result[3]);

} // namespace sim
