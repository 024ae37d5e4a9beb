// While the player rests: the rider's stamina while the horse drinks, the resting horse's
// stamina, and the lock-on release that sends a nearby horse to rest.
#include "horse/horse.h"

namespace {

constexpr float restCommandReach = 20.0f;         // exactly 20 is too far
constexpr float riderGain = 1.5f;                 // a point a refill: the half is cut off
constexpr float restingGain = 1.0f;               // a point of stamina...
constexpr std::int32_t restingRefillEvery = 3000; // ...every three seconds of rest (ms)

bool playerResting(const LoopState& s) {
    for (Hash rest : s.restScenarioHashes)
        if (pedUsingScenario(s.playerPed, rest)) return true;
    return false;
}

void riderRefill(LoopState& s) {
    const auto p = static_cast<float>(coreValue(s.playerPed, staminaCore));
    if (p < 100.0f && gameTimer() > s.nextStaminaRefillTime &&
        pedUsingScenario(s.playerHorse, hashOf("WORLD_ANIMAL_HORSE_DRINK_GROUND"))) {
        setCoreValue(s.playerPed, staminaCore, static_cast<std::int32_t>(p + riderGain));
        s.nextStaminaRefillTime = addWrapping(gameTimer(), staminaRefillEvery);
    }
}

// The resting refill re-arms its own timer, as every other refill does: one point per
// 3000 ms while the horse rests, and the drink, overpower and rider refills keep their pace.
void restingRefill(LoopState& s) {
    const auto t = static_cast<float>(coreValue(s.playerHorse, staminaCore));
    if (t < 100.0f && gameTimer() > s.horseRestRefillTime &&
        pedUsingScenario(s.playerHorse, hashOf("WORLD_ANIMAL_HORSE_RESTING"))) {
        setCoreValue(s.playerHorse, staminaCore, static_cast<std::int32_t>(t + restingGain));
        s.horseRestRefillTime = addWrapping(gameTimer(), restingRefillEvery);
    }
}

void restCommand(LoopState& s) {
    const Vector3& me = s.playerPosition;
    const Vector3& horse = s.horsePosition;
    const float distance = getDistanceBetweenCoords(me.x, me.y, me.z, horse.x, horse.y, horse.z);
    const bool resting = pedUsingScenario(s.playerHorse, hashOf("WORLD_ANIMAL_HORSE_RESTING"));
    if (!(distance < restCommandReach) || resting || !modelIsHorse(s.playerHorse) ||
        !controlJustReleased("INPUT_INTERACT_LOCKON"))
        return;
    s.horseScenarioPoint = createScenarioPoint(hashOf("WORLD_ANIMAL_HORSE_RESTING"), horse.x,
                                               horse.y, horse.z, s.horseHeading);
    useScenarioPoint(s.playerHorse, s.horseScenarioPoint, -1);
    s.horseRestRefillTime = addWrapping(gameTimer(), restingRefillEvery);
}

} // namespace

void restTimeCare(LoopState& s) {
    if (!playerResting(s)) return;
    riderRefill(s);
    restingRefill(s);
    restCommand(s);
}
