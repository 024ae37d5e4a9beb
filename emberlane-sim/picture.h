// The session as a picture (SVG): a lane for each prompt's time on screen, the scenarios of
// the player and the horses with their names, the waits inside a pass and the prop discards,
// a panel for each attribute core, on one time axis, with the scene's own actions marked on
// it. `scene` names the scene in the title.
#pragma once

#include "emberlane-sim/session.h"

#include <string>

namespace picture {

std::string svg(const session::Record& record, const std::string& scene);

} // namespace picture
