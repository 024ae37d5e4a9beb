// Two builds of the plug-in play the same games, and the first call in which they differ is
// found and shown: what each build called there, the calls before it, and what a player
// would see differ at the end of that pass.
#pragma once

#include "emberlane-sim/scene.h"
#include "sim/sim.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace compare {

struct Game {
    std::string name;   // "walkthrough", a scene file, "chaos seed 7"
    scene::Scene scene; // played when chaosSeed is 0
    std::uint64_t chaosSeed = 0;
    int passes = 0; // how long a chaos game goes on
};

struct Divergence {
    int pass = 0;                             // 0 is the start-up, before the first pass
    std::int64_t ms = 0;                      // game time since the game began
    std::vector<std::string> before;          // the last calls both builds made alike
    std::vector<std::string> ours, theirs;    // each build's calls from the first that differs
    std::vector<std::string> seenDifferently; // at the end of that pass: prompts, scenarios, cores
};

struct Outcome {
    int passes = 0; // as many as this build played
    std::optional<Divergence> divergence;
};

// Plays the game with both builds (the paths of their plug-ins). Throws sim::GameError when
// a build cannot be loaded.
Outcome compareGame(const Game& game, const std::string& ours, const std::string& theirs,
                    const sim::Options& options);

// The report of one game, a few lines; `other` names what this build is held against.
std::string report(const Game& game, const Outcome& outcome,
                   const std::string& other = "the other build");

} // namespace compare
