// After fifteen seconds at the water: the wash effect each pass, and the drink's stamina.
#include "activities/activities.h"

namespace {

constexpr std::int32_t effectDelay = 15000; // exactly 15000 ms has not passed
constexpr std::int32_t drinkGain = 1;       // stamina points a pass while drinking

bool delayPassed(const LoopState& s) {
    return s.waterActivityStartTime == 0 ||
           timeSince(gameTimer(), s.waterActivityStartTime) > effectDelay;
}

} // namespace

void waterEffects(LoopState& s) {
    const Handle ped = s.playerPed;
    const Hash washing = hashOf("WORLD_HUMAN_WASH_FACE_BUCKET_GROUND_NO_BUCKET");
    if (pedUsingScenario(ped, washing) && delayPassed(s)) invoke(op::faceWashEffect, ped, ped);

    const Hash drinking = hashOf("WORLD_HUMAN_BUCKET_DRINK_GROUND_NO_BUCKET");
    if (!pedUsingScenario(ped, drinking)) return;
    if (!(s.waterActivityStartTime < gameTimer())) return;
    const bool overpowered = coreOverpowered(ped);
    const std::int32_t stamina = coreValue(ped, staminaCore);
    // Full means exactly 100: one point a pass until then, then the overpower.
    if (stamina != 100) {
        if (delayPassed(s)) setCoreValue(ped, staminaCore, addWrapping(stamina, drinkGain));
        return;
    }
    if (!overpowered && delayPassed(s)) enableCoreOverpower(ped);
}
