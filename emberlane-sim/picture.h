// The session as a picture (SVG): a lane for each prompt's time on screen, the scenarios of
// the player and the horses with their names, the waits inside a pass and the prop discards,
// a panel for each attribute core, on one time axis, with the scene's own actions marked on
// it. `title` says what was played: "walkthrough in the stand-in game", a recording's name.
#pragma once

#include "emberlane-sim/observer.h"

#include <string>

namespace picture {

std::string svg(const observer::History& history, const std::string& title);

} // namespace picture
