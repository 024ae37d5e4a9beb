#include "loop/script_main.h"

#include "activities/activities.h"
#include "horse/horse.h"
#include "loop/frame_sampling.h"

template <std::size_t N>
static void hashNames(std::array<Hash, N>& hashes, const std::array<const char*, N>& names) {
    for (std::size_t i = 0; i < N; ++i) hashes[i] = hashOf(names[i]);
}

namespace {
// The label texts live as long as the module, each start putting its own in place of the last:
// the host drops the script's stack at every load without unwinding it, so texts owned there
// would be lost to the heap each time.
LabelLines labelLines;
} // namespace

void startUp(LoopState& s) {
    hashNames(s.navControlHashes, navControlNames);
    hashNames(s.restScenarioHashes, restScenarioNames);
    hashNames(s.horseGrazeHashes, horseGrazeNames);
    labelLines = readLabelFile();
    s.prompts = createPrompts(labelLines);
}

void scriptMain() {
    LoopState s;
    startUp(s);
    for (;;) {
        sampleFrame(s);
        scenarioEaseAndExitWatch(s);
        waterPrompts(s);
        menuPromptAfterSatchel(s);
        restMenu(s);
        waterEffects(s);
        horseSection(s); // ends the pass with a wait of 0: the next frame
    }
}
