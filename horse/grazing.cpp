// A grazing horse gains a health point every two seconds, and a bonus of five attribute
// points about every 25 seconds of grazing.
#include "horse/horse.h"

namespace {
constexpr std::int32_t healthGain = 1;      // a point of health...
constexpr std::int32_t healEvery = 2000;    // ...every two seconds of grazing (ms)
constexpr std::int32_t bonusAttribute = 13; // the horse's attribute the bonus adds points to
constexpr std::int32_t bonusPoints = 5;
constexpr std::int32_t bonusEvery = 25000; // exactly 25000 ms keeps the latch
} // namespace

void grazingHealthRefill(LoopState& s) {
    const Handle horse = s.playerHorse;
    const std::int32_t health = coreValue(horse, healthCore);
    // Every grazing scenario is looked at; the re-armed time keeps a second match from paying.
    for (Hash grazing : s.horseGrazeHashes)
        if (pedUsingScenario(horse, grazing) && gameTimer() > s.nextGrazeRefillTime) {
            setCoreValue(horse, healthCore, addWrapping(health, healthGain));
            s.nextGrazeRefillTime = addWrapping(gameTimer(), healEvery);
        }
}

void grazingBonus(LoopState& s) {
    const Handle horse = s.playerHorse;
    const auto horseAttributePoints =
        invoke<std::int32_t>(op::attributePoints, horse, bonusAttribute);
    if (!s.grazeBonusGiven) {
        for (Hash grazing : s.horseGrazeHashes)
            if (pedUsingScenario(horse, grazing)) {
                s.grazeBonusGiven = true;
                invoke(op::setAttributePoints, horse, bonusAttribute,
                       addWrapping(horseAttributePoints, bonusPoints));
                s.grazeBonusTime = gameTimer();
                break;
            }
    }
    // Re-armed whether or not the horse still grazes; a stored time of 0 re-arms at once.
    if (s.grazeBonusGiven &&
        (s.grazeBonusTime == 0 || timeSince(gameTimer(), s.grazeBonusTime) > bonusEvery))
        s.grazeBonusGiven = false;
}
