// What the rest menu's entries start, on the spot where the player stands.
#include "activities/activities.h"

#include <array>
#include <cstddef>

namespace {

// The random-integer answer picks by position. A game or host that answers outside the
// asked range would index past the list, so the answer is folded back into it.
template <std::size_t N>
const char* pick(const std::array<const char*, N>& scenarios) {
    const auto answer = invoke<std::int32_t>(op::randomInt, 0, static_cast<std::int32_t>(N));
    auto index = static_cast<std::int64_t>(answer) % static_cast<std::int64_t>(N);
    if (index < 0) index += static_cast<std::int64_t>(N);
    return scenarios[static_cast<std::size_t>(index)];
}

} // namespace

void sitActivityStart(LoopState& s) {
    if (!promptCompleted(s.prompts.sitActivityPrompt)) return;
    startScenarioAtPlayer(s, pick(sitActivityScenarios));
    s.restScenarioStarted = true;
}

void sitGroundStart(LoopState& s) {
    if (!promptCompleted(s.prompts.sitGroundPrompt)) return;
    startScenarioAtPlayer(s, pick(sitGroundScenarios));
    s.restScenarioStarted = true;
}

void cigarStart(LoopState& s) {
    if (!promptCompleted(s.prompts.cigarPrompt)) return;
    startScenarioAtPlayer(s, "WORLD_HUMAN_SMOKE_CIGAR");
    s.smokeScenarioStarted = true;
}

void smokeStart(LoopState& s) {
    if (!promptCompleted(s.prompts.smokePrompt)) return;
    startScenarioAtPlayer(s, "WORLD_HUMAN_SMOKE");
    s.smokeScenarioStarted = true;
}
