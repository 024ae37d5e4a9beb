// Standing still in water, unarmed and out of a fight: wash the face or drink.
#include "activities/activities.h"

namespace {

constexpr Hash bareHands = 0xA2719263;

bool waterOffered(const LoopState& s, bool isArmed) {
    return isTrue(invoke<std::int32_t>(op::pedIsStill, s.playerPed)) &&
           !isTrue(invoke<std::int32_t>(op::pedInCombat, s.playerPed, 0)) &&
           isTrue(invoke<std::int32_t>(op::entityInWater, s.playerPed)) &&
           !pedUsingAnyScenario(s.playerPed) &&
           !isTrue(invoke<std::int32_t>(op::pedBusyWithHorse, s.playerPed)) && !isArmed;
}

void startWaterActivity(LoopState& s, const char* scenario) {
    s.waterActivityStartTime = gameTimer();
    startScenarioAtPlayer(s, scenario);
    s.restScenarioStarted = true;
}

} // namespace

void startScenarioAtPlayer(LoopState& s, const char* scenario) {
    const Hash hash = hashOf(scenario);
    s.playerScenarioPoint = createScenarioPoint(hash, s.playerPosition.x, s.playerPosition.y,
                                                s.playerPosition.z, s.playerHeading);
    useScenarioPoint(s.playerPed, s.playerScenarioPoint, -1);
}

void waterPrompts(LoopState& s) {
    invoke(op::currentPedWeapon, s.playerPed, &s.currentWeapon, 1, 0, 1);
    const bool isArmed = s.currentWeapon != bareHands;
    const bool offered = waterOffered(s, isArmed);
    setPromptShown(s.prompts.drinkWaterPrompt, offered);
    setPromptShown(s.prompts.washFacePrompt, offered);
    // Asked every pass, whatever the offer gave.
    if (promptCompleted(s.prompts.washFacePrompt))
        startWaterActivity(s, "WORLD_HUMAN_WASH_FACE_BUCKET_GROUND_NO_BUCKET");
    if (promptCompleted(s.prompts.drinkWaterPrompt))
        startWaterActivity(s, "WORLD_HUMAN_BUCKET_DRINK_GROUND_NO_BUCKET");
}
