// The session as a picture (SVG): a lane for each prompt's time on screen, the scenarios of
// the player and the horses with their names, the waits inside a pass and the prop discards,
// the attribute cores, on one time axis.
#pragma once

#include "emberlane-sim/session.h"

#include <string>

namespace picture {

std::string svg(const session::Record& record);

} // namespace picture
