// The horse section: the last block of every pass, which ends it.
#pragma once

#include "loop/loop_state.h"

void horseSection(LoopState& s);

// Its steps, in their order.
bool fetchTarget(LoopState& s); // false: the player targets nothing this pass
void drinkCommand(LoopState& s);
void staminaWhileDrinkingOrResting(LoopState& s);
void grazingHealthRefill(LoopState& s);
void grazingBonus(LoopState& s);
void restTimeCare(LoopState& s);
