// The timeline as the simulator prints it: what the player would see, a line an event.
#pragma once

#include "emberlane-sim/observer.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace timeline {

// Game time since the game began, as mm:ss.mmm.
std::string clock(std::int64_t ms);

// Every event, in time order; a change the scene or the game made says so. A recording can
// tell of a change at every pass: past this many lines, the rest is counted, not shown.
inline constexpr std::size_t mostLines = 20000;
std::string text(const observer::History& history);

// Passes, game time, native calls per pass, points left undeleted.
std::string summary(const observer::History& history);

} // namespace timeline
