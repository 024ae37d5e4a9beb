// Plays a scene in the stand-in game and keeps the timeline a modder reads (or looks at).
#pragma once

#include "sim/sim.h"
#include "tools/scene.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace session {

struct Event {
    std::int64_t ms; // since the session began
    std::string what;
    std::string detail;
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

struct Record {
    std::vector<Event> events;
    std::vector<Span> spans;
    std::vector<Sample> samples;
    std::vector<std::uint64_t> callsPerPass;
    std::int64_t endMs = 0;
    std::size_t pointsLeft = 0;
    std::uint64_t digest = 0;
};

struct Settings {
    sim::Options options;
    bool trace = false;      // print every native call
    bool printEvents = true; // print the timeline as it happens
};

// Plays the scene; throws sim::GameError when the game refuses a call.
Record play(const scene::Scene& scene, const Settings& settings);

std::string summary(const Record& record);
std::string svg(const Record& record);

} // namespace session
