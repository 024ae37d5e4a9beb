// A drinking horse gains a stamina point every two seconds; at full stamina a drinking or
// resting horse is overpowered.
#include "horse/horse.h"

void staminaWhileDrinkingOrResting(LoopState& s) {
    const Handle horse = s.playerHorse;
    const auto v = static_cast<float>(coreValue(horse, 1));
    if (v < 100.0f) {
        if (gameTimer() > s.nextStaminaRefillTime &&
            pedUsingScenario(horse, hashOf("WORLD_ANIMAL_HORSE_DRINK_GROUND"))) {
            setCoreValue(horse, 1, static_cast<std::int32_t>(v + 1.5f));
            s.nextStaminaRefillTime = addWrapping(gameTimer(), 2000);
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
