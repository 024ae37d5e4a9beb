// Plays a scene in the stand-in game and records what a modder reads (emberlane-sim/timeline.h) or
// looks at (emberlane-sim/picture.h).
#pragma once

#include "emberlane-sim/scene.h"
#include "sim/sim.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace session {

// Who made a change: the plug-in by its calls, a line of the scene, or the game on its own
// (a timed scenario that ends, an overpower that wears off).
enum class Cause { Plugin, Scene, Game };

struct Event {
    std::int64_t ms; // since the session began
    std::string what;
    std::string detail;
    Cause cause = Cause::Plugin;
};

struct Span {
    std::string lane;
    std::string label;
    std::int64_t from, to;
};

struct Sample {
    std::int64_t ms;
    std::string series;
    std::int32_t value;
};

// A moment the picture marks: a wait inside a pass, or a held prop discarded.
struct Mark {
    enum Kind { Wait, PropDiscard };
    Kind kind;
    std::int64_t ms;
    std::int64_t lengthMs; // how long the wait was; 0 for a discard
    std::string label;
};

struct Record {
    std::vector<Event> events; // in time order
    std::vector<Span> spans;
    std::vector<Sample> samples;
    std::vector<Mark> marks;
    std::vector<std::uint64_t> callsPerPass;
    std::int64_t endMs = 0;
    std::size_t pointsLeft = 0;
    std::uint64_t digest = 0;
};

// A core that the plug-in raises a point at a time is one line of the timeline: the run from
// the first point to the last, with the time it ended.
struct CoreRuns {
    struct Run {
        bool open = false;
        std::int32_t from = 0, to = 0;
        std::int64_t since = 0, last = 0;
    };
    std::map<std::string, Run> runs;

    void changed(Record& record, std::int64_t now, const std::string& series, std::int32_t from,
                 std::int32_t to, Cause cause);
    void closeAll(Record& record);
};

struct Settings {
    sim::Options options;
    bool trace = false;      // print every native call as it is made
    bool printEvents = true; // print the timeline at the end (also when the game refuses a call)
};

// Plays the scene; throws sim::GameError when the game refuses a call.
Record play(const scene::Scene& scene, const Settings& settings);

// Who a scene names: "player", and each horse it brought in, with their handles.
using Cast = std::vector<std::pair<std::string, Handle>>;
Cast castOf(const sim::Sim& sim); // the player alone, at the start

// Does in the stand-in game what a scene line says, now that its time has come. Throws
// sim::GameError for what the game cannot do, such as completing a prompt not on screen.
void perform(sim::Sim& sim, Cast& cast, const scene::Step& step);

} // namespace session
