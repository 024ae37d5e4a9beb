#pragma once

#include "loop/loop_state.h"

// Top of every pass: the player and the horse as they are now, the satchel and navigation
// controls, and the housekeeping of scenarios and their points.
void sampleFrame(LoopState& s);
