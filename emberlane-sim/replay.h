// Plays a recording of a session in the game (Emberlane.rec) again with a build of the plug-in:
// the stand-in host answers every call from the recording and checks it against the call that
// was recorded, pass for pass, and finds the first pass in which the two part. What a player
// saw is read from the recorded answers (emberlane-sim/call_watcher.h).
#pragma once

#include "emberlane-sim/compare.h"
#include "emberlane-sim/observer.h"
#include "emberlane-sim/session.h"
#include "host/hotkey.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace replay {

struct Outcome {
    // BadFile: not a recording, of a format version this build does not read, or damaged.
    // TooShort: a recording that holds no whole pass, which says nothing of any build.
    enum class Status { Identical, Differs, BadFile, TooShort };
    Status status = Status::Identical;
    std::string pluginVersion; // the recording plug-in's
    keys::Hotkey hotkey;       // the settings as it read them
    std::int32_t destroyProp = 0;
    bool labelsFromFile = false; // Emberlane.dat; else the built-in labels of the game's language
    int passes = 0;              // replayed whole
    std::string ending;          // how the recording ends
    std::string problem;         // BadFile: where, and what was expected there
    std::optional<compare::Divergence> divergence;
    observer::History history;
};

// Plays the recording at `path` with the plug-in of settings.options.plugin (empty: the one
// built here). Throws sim::GameError when the plug-in cannot be loaded.
Outcome run(const std::string& path, const session::Settings& settings);

// The same for a recording read from `file`, from where it stands: the file is read twice, so
// it must be able to seek back there.
Outcome run(std::istream& file, const session::Settings& settings);

// What emberlane-sim prints after the timeline: the passes replayed, how the recording ends,
// and the first difference as --compare reports one.
std::string report(const std::string& name, const Outcome& outcome);

// The settings file that makes a plug-in read what the recording's plug-in read.
std::string settingsFile(const keys::Hotkey& hotkey, std::int32_t destroyProp);

} // namespace replay
