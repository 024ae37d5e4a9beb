// Shared words for the tests: the stand-in game and what a pass looked like.
#pragma once

#include "sim/errors.h"
#include "sim/sim.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using sim::Sim;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Runs frames and returns the described calls they made.
inline std::vector<std::string> callsOf(Sim& sim, int frames = 1) {
    sim.startRecording();
    sim.frame(frames);
    sim.stopRecording();
    return sim.calls;
}

// The calls between the first that begins with `from` and the next scriptWait, inclusive.
inline std::vector<std::string> sliceFrom(const std::vector<std::string>& calls,
                                          const std::string& from) {
    std::vector<std::string> out;
    bool in = false;
    for (const std::string& c : calls) {
        if (!in && c.rfind(from, 0) == 0) in = true;
        if (in) out.push_back(c);
        if (in && c.rfind("scriptWait", 0) == 0) break;
    }
    return out;
}

inline int countOf(const std::vector<std::string>& calls, const std::string& prefix) {
    int n = 0;
    for (const std::string& c : calls) n += c.rfind(prefix, 0) == 0;
    return n;
}
