#include "loop/frame_sampling.h"

namespace {

bool navigationPressed(const LoopState& s) {
    for (Hash control : s.navControlHashes)
        if (isTrue(invoke<std::int32_t>(op::controlJustPressed, 0, control))) return true;
    return false;
}

} // namespace

void sampleFrame(LoopState& s) {
    s.playerPed = invoke<Handle>(op::playerPed);
    s.playerHeading = invoke<float>(op::entityHeading, s.playerPed);
    s.playerPosition = getEntityCoords(s.playerPed);

    // The horse the horse section found in the previous pass.
    s.horseIsDrinking = pedUsingScenario(s.playerHorse, hashOf("WORLD_ANIMAL_HORSE_DRINK_GROUND"));
    s.horsePosition = getEntityCoords(s.playerHorse);
    s.horseHeading = invoke<float>(op::entityHeading, s.playerHorse);
    s.horsePromptGroup = invoke<std::int32_t>(op::promptGroupOfTarget, s.playerHorse);

    s.satchelReleased =
        isTrue(invoke<std::int32_t>(op::controlJustReleased, 0, hashOf("INPUT_OPEN_SATCHEL_MENU")));
    const bool navPressed = navigationPressed(s);

    // A navigation press ends any scenario the player is in, whoever started it.
    if (pedUsingAnyScenario(s.playerPed) && navPressed)
        invoke(op::clearPedTasks, s.playerPed, 1, 1);
    // Asked again: the clearing may already have ended the scenario.
    if (!pedUsingAnyScenario(s.playerPed)) invoke(op::deleteScenarioPoint, s.playerScenarioPoint);
    if (!pedUsingAnyScenario(s.playerHorse)) invoke(op::deleteScenarioPoint, s.horseScenarioPoint);
}
