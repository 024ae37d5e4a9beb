// Two builds of the plug-in play the same games, and the first call in which they differ is
// found and shown: what each build called there, the calls before it, and what a player
// would see differ at the end of that pass.
#pragma once

#include "emberlane-sim/observer.h"
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
    std::string theirsCut; // why the other side's pass ends unread (a damaged recording): then
                           // what a player sees at its end is not compared
};

struct Outcome {
    int passes = 0; // as many as this build played
    std::optional<Divergence> divergence;
};

// Plays the game with both builds (the paths of their plug-ins). Throws sim::GameError when
// a build cannot be loaded.
Outcome compareGame(const Game& game, const std::string& ours, const std::string& theirs,
                    const sim::Options& options);

// One divergence in words, a line each: where it begins, the calls both sides made before
// it, each side's calls from there, and what a player sees differ when that pass ends. The
// first line ("differs at pass ...") has no indent, the others are indented. `ours` and
// `theirs` name the two sides.
std::string describe(const Divergence& d, const std::string& ours = "this build",
                     const std::string& theirs = "the other build");

// What a player sees differ between two sights, item by item: "what: ours | theirs".
std::vector<std::string> sightDifferences(const observer::Sight& ours,
                                          const observer::Sight& theirs);

// The report of one game, a few lines.
std::string report(const Game& game, const Outcome& outcome);

// What makes two games' first differences the same: the first differing call of each build,
// with the numbers the game gave them (a handle, a value just read) set aside and those in
// which the builds differ kept as the difference, so one change met in many games is one.
std::string kindOf(const Divergence& d);

// Over a whole scene game, what the player sees that differs between the builds: the lines
// of the two timelines that are not in both, "- " for the other build's and "+ " for this
// build's, in time order. Empty when a player sees the same.
std::vector<std::string> timelineDifferences(const Game& game, const std::string& ours,
                                             const std::string& theirs,
                                             const sim::Options& options);

// A game that differs, with its timelines' differences (none for a chaos game).
struct Differing {
    Game game;
    Divergence divergence;
    std::vector<std::string> timeline;
};

// The games that differ, those with the same first difference reported once with the list
// of the others; each scene's timelines as a count, or line by line with `allLines`.
std::string groupedReport(const std::vector<Differing>& differing, bool allLines);

// Game names as a short list: "walkthrough, chaos seeds 1-5, 7".
std::string listOf(const std::vector<std::string>& names);

} // namespace compare
