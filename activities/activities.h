// The player's activities: blocks 2 to 6 of every pass.
#pragma once

#include "loop/loop_state.h"

// Eased down once per load of the plug-in, from 3.5 to just under 3.0, and never reset.
extern float scenarioEaseValue;

void scenarioEaseAndExitWatch(LoopState& s);
void waterPrompts(LoopState& s);
void menuPromptAfterSatchel(LoopState& s);
void restMenu(LoopState& s);
void waterEffects(LoopState& s);

// Starts a scenario at the spot and heading sampled at the top of the pass, with no time
// limit; the new point replaces playerScenarioPoint.
void startScenarioAtPlayer(LoopState& s, const char* scenario);

// Starts the rest menu's activities whose prompts completed this pass, in their places
// among the menu's own steps.
void sitActivityStart(LoopState& s);
void sitGroundStart(LoopState& s);
void cigarStart(LoopState& s);
void smokeStart(LoopState& s);
