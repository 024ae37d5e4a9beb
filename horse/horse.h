// The horse section: the last block of every pass, which ends it.
#pragma once

#include "loop/loop_state.h"

void horseSection(LoopState& s);
