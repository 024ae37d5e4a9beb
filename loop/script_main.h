#pragma once

#include "loop/loop_state.h"

// The one script the plug-in registers: start-up, then one pass per game frame, forever.
void scriptMain();

// Start-up: name tables, labels, the ten prompts, the loop state at its start values.
void startUp(LoopState& s);
