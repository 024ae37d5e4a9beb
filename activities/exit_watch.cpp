// While a prompt-started activity runs: the camera eased in, and the exit by a navigation
// control, after which the held prop is discarded.
#include "activities/activities.h"
#include "host/settings.h"

float scenarioEaseValue = 3.5f;

namespace {

// After an activity's exit the script waits, in the pass, before the prop goes (ms).
constexpr std::int32_t restExitWait = 3000;
constexpr std::int32_t smokeExitWait = 2000;

// Not the sampling's order: the exit looks at down, up, left, right.
bool navigationReleased() {
    for (const char* control : {"INPUT_FRONTEND_NAV_DOWN", "INPUT_FRONTEND_NAV_UP",
                                "INPUT_FRONTEND_NAV_LEFT", "INPUT_FRONTEND_NAV_RIGHT"})
        if (controlJustReleased(control)) return true;
    return false;
}

// After a wait the ped is read afresh: the one sampled at the top of the pass may be stale.
void discardHeldProp() { invoke(op::discardHeldProp, invoke<Handle>(op::playerPed), 0, 1); }

} // namespace

void scenarioEaseAndExitWatch(LoopState& s) {
    if (s.restScenarioStarted) {
        // One frame per step the first time only: the value stays where it ends.
        while (scenarioEaseValue > 3.0f) {
            invoke(op::scenarioEase, 1.0f, scenarioEaseValue);
            scenarioEaseValue = scenarioEaseValue + -0.05f;
            hostWait(0);
        }
        invoke(op::scenarioEase, 1.0f, scenarioEaseValue);
        invoke(op::afterScenarioEase, 1);
        // The release, not the press, ends the watch: the press already cleared the tasks.
        if (navigationReleased()) {
            hostWait(restExitWait);
            s.restScenarioStarted = false;
            if (DESTROY_SCENARIO_PROP == 0) return;
            discardHeldProp();
        }
    }
    if (DESTROY_SCENARIO_PROP != 0 && s.smokeScenarioStarted && navigationReleased()) {
        hostWait(smokeExitWait);
        discardHeldProp();
        s.smokeScenarioStarted = false;
    }
}
