#include "activities/activities.h"

void scenarioEaseAndExitWatch(LoopState&) {}
void waterPrompts(LoopState&) {}
void menuPromptAfterSatchel(LoopState&) {}
void restMenu(LoopState&) {}
void waterEffects(LoopState&) {}
