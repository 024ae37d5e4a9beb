// The horse section: the last block of every pass, which ends it.
#pragma once

#include "loop/loop_state.h"

// The drinking horse's stamina and the resting rider's share one refill time, re-armed
// this long after each refill (ms).
inline constexpr std::int32_t staminaRefillEvery = 2000;

void horseSection(LoopState& s);

// Its steps, in their order.
bool fetchTarget(LoopState& s); // false: the player targets nothing this pass
void drinkCommand(LoopState& s);
void staminaWhileDrinkingOrResting(LoopState& s);
void grazingHealthRefill(LoopState& s);
void grazingBonus(LoopState& s);
void restTimeCare(LoopState& s);
