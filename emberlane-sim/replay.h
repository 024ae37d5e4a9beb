// Plays a recording of a session in the game (Emberlane.rec) again with a build of the plug-in:
// the stand-in host answers every call from the recording and checks it against the call that
// was recorded, pass for pass. Everything the timeline shows is read from the game's answers.
#pragma once

#include "emberlane-sim/compare.h"
#include "emberlane-sim/session.h"

#include <cstdint>
#include <optional>
#include <string>

namespace replay {

struct Outcome {
    enum class Status { Identical, Differs, BadFile };
    Status status = Status::Identical;
    std::string pluginVersion; // the recording plug-in's
    std::uint32_t hotkey = 0;  // the settings as it read them
    std::int32_t destroyProp = 0;
    int passes = 0;      // replayed whole
    std::string ending;  // how the recording ends
    std::string problem; // BadFile: where, and what was expected there
    std::optional<compare::Divergence> divergence;
    session::Record record;
};

// Plays the recording at `path` with the plug-in of settings.options.plugin (empty: the one
// built here). Throws sim::GameError when the plug-in cannot be loaded.
Outcome run(const std::string& path, const session::Settings& settings);

// What emberlane-sim prints after the timeline: the passes replayed, how the recording ends,
// and the first difference as --compare reports one.
std::string report(const std::string& name, const Outcome& outcome);

// The settings file that makes a plug-in read what the recording's plug-in read.
std::string settingsFile(std::uint32_t hotkey, std::int32_t destroyProp);

} // namespace replay
