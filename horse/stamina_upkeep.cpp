// A drinking horse gains a stamina point every two seconds; at full stamina a drinking or
// resting horse is overpowered.
#include "horse/horse.h"

namespace {
constexpr float drinkingGain = 1.5f; // a point a refill: the half is cut off
} // namespace

void staminaWhileDrinkingOrResting(LoopState& s) {
    const Handle horse = s.playerHorse;
    const auto v = static_cast<float>(coreValue(horse, staminaCore));
    if (v < 100.0f) {
        if (gameTimer() > s.nextStaminaRefillTime &&
            pedUsingScenario(horse, hashOf("WORLD_ANIMAL_HORSE_DRINK_GROUND"))) {
            setCoreValue(horse, staminaCore, static_cast<std::int32_t>(v + drinkingGain));
            s.nextStaminaRefillTime = addWrapping(gameTimer(), staminaRefillEvery);
        }
    } else if (v == 100.0f) {
        // Neither overpower moves the refill time.
        if (gameTimer() > s.nextStaminaRefillTime &&
            pedUsingScenario(horse, hashOf("WORLD_ANIMAL_HORSE_DRINK_GROUND")) &&
            !coreOverpowered(horse))
            enableCoreOverpower(horse);
        if (gameTimer() > s.nextStaminaRefillTime &&
            pedUsingScenario(horse, hashOf("WORLD_ANIMAL_HORSE_RESTING")) &&
            !coreOverpowered(horse))
            enableCoreOverpower(horse);
    }
}
