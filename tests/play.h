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
    sim.startCallLog();
    sim.frame(frames);
    sim.stopCallLog();
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

// The calls from the first that begins with `from` up to, not including, the first after it
// that begins with `to`.
inline std::vector<std::string> between(const std::vector<std::string>& calls,
                                        const std::string& from, const std::string& to) {
    std::vector<std::string> out;
    bool in = false;
    for (const std::string& c : calls) {
        if (in && c.rfind(to, 0) == 0) break;
        if (!in && c.rfind(from, 0) == 0) in = true;
        if (in) out.push_back(c);
    }
    return out;
}

// The plug-in's prompt handles, as the stand-in game hands them out in creation order.
namespace handle {
inline constexpr int washFace = 1793, drinkWater = 1796, sitActivity = 1799, sitGround = 1802,
                     menuClose = 1805, smokeMenu = 1808, cigar = 1811, smoke = 1814,
                     horseDrink = 1817, menu = 1820;
}

inline std::string shownCalls(int prompt, int value) {
    return "_UI_PROMPT_SET_ENABLED(" + std::to_string(prompt) + ", " + std::to_string(value) +
           ")|_UI_PROMPT_SET_VISIBLE(" + std::to_string(prompt) + ", " + std::to_string(value) +
           ")";
}

inline std::string completedQuery(int prompt, int answer) {
    return "_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED(" + std::to_string(prompt) +
           ", 0) = " + std::to_string(answer);
}

// Splits "a|b" lists into single calls, so expected passes read as groups.
inline std::vector<std::string> flat(std::initializer_list<std::string> groups) {
    std::vector<std::string> out;
    for (const std::string& g : groups) {
        std::size_t start = 0;
        for (std::size_t bar; (bar = g.find('|', start)) != std::string::npos; start = bar + 1)
            out.push_back(g.substr(start, bar - start));
        out.push_back(g.substr(start));
    }
    return out;
}

// The player opens the rest menu with the satchel control and its prompt.
inline void openRestMenu(Sim& sim) {
    sim.release("INPUT_OPEN_SATCHEL_MENU");
    sim.frame();
    sim.complete("menuPrompt");
    sim.frame();
}
