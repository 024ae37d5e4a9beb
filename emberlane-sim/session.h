// Plays a scene in the stand-in game and keeps what a modder reads (emberlane-sim/timeline.h)
// or looks at (emberlane-sim/picture.h): the stand-in game's world, told to an observer.
#pragma once

#include "emberlane-sim/observer.h"
#include "emberlane-sim/scene.h"
#include "host/hotkey.h"
#include "sim/sim.h"

#include <string>
#include <utility>
#include <vector>

namespace session {

struct Settings {
    sim::Options options;
    bool trace = false;      // print every native call as it is made
    bool printEvents = true; // print the timeline at the end (also when the game refuses a call)
};

// Plays the scene; throws sim::GameError when the game refuses a call.
observer::History play(const scene::Scene& scene, const Settings& settings);

// Who a scene names: "player", and each horse it brought in, with their handles.
using Cast = std::vector<std::pair<std::string, Handle>>;
Cast castOf(const sim::Sim& sim); // the player alone, at the start

// Does in the stand-in game what a scene line says, now that its time has come; 'key hotkey'
// presses `hotkey`, the one the settings name. Throws sim::GameError for what the game
// cannot do, such as completing a prompt not on screen.
void perform(sim::Sim& sim, Cast& cast, const scene::Step& step, const keys::Hotkey& hotkey);

// Tells the observer how the world stands for everyone of the cast (changes made by
// `cause`), and which prompts are on screen.
void observeWorld(const sim::Sim& sim, const Cast& cast, observer::Observer& seen,
                  observer::Cause cause);
void observeScreen(const sim::Sim& sim, observer::Observer& seen);

// What a player sees in the stand-in game now.
observer::Sight sightOf(const sim::Sim& sim, const Cast& cast);

} // namespace session
