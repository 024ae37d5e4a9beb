// A seeded game that stirs the stand-in world before every frame, leaning to the states the
// plug-in acts on: a still player in water, targets, prompt completions, controls and keys,
// scenarios the game starts itself, cores around 100, hitches that let timers run out, loads
// that start the script again. The
// same seed stirs the same way for any build until the builds behave differently.
#pragma once

#include "sim/sim.h"

#include <cstdint>
#include <string>
#include <vector>

namespace chaos_game {

struct Game {
    std::uint64_t state = 0;
    std::vector<Handle> horses;
    Handle stranger = 0; // a ped that is no horse
    std::uint32_t hotkey = 89;
};

// The Emberlane.ini a seed plays with: the hotkey and the prop discard vary with it.
std::string settingsFor(std::uint64_t seed);

// Brings in the horses and the stranger.
Game begin(sim::Sim& sim, std::uint64_t seed);

// Before each frame: the world moves on.
void stir(sim::Sim& sim, Game& game);

} // namespace chaos_game
