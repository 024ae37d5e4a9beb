// The player's activities: blocks 2 to 6 of every pass.
#pragma once

#include "loop/loop_state.h"

void scenarioEaseAndExitWatch(LoopState& s);
void waterPrompts(LoopState& s);
void menuPromptAfterSatchel(LoopState& s);
void restMenu(LoopState& s);
void waterEffects(LoopState& s);
