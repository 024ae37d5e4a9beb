// The timeline as the simulator prints it: what the player would see, a line an event, and
// the settings the plug-in runs with.
#pragma once

#include "emberlane-sim/session.h"

#include <cstdint>
#include <optional>
#include <string>

namespace timeline {

// Game time since the session began, as mm:ss.mmm.
std::string clock(std::int64_t ms);

// Every event, in time order; a change the scene or the game made says so.
std::string text(const session::Record& record);

// Passes, game time, native calls per pass, points left undeleted.
std::string summary(const session::Record& record);

// How the plug-in reads the settings file: its hotkey, with the key's name or why it never
// fires, the prop discard, and each key it never reads, outside its [SETTINGS]. `ini` is the
// file's contents (none: there is no file) and `source` says where it came from.
std::string settingsHeader(const std::optional<std::string>& ini, const std::string& source);

} // namespace timeline
