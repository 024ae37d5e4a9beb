// The targeted horse, standing still in water, is offered a drink in its own prompt group.
#include "horse/horse.h"

namespace {

constexpr std::int32_t drinkFor = 20000;
constexpr std::int32_t firstRefillAfter = 1000; // then every staminaRefillEvery

bool drinkOffered(const LoopState& s) {
    return isTrue(invoke<std::int32_t>(op::entityInWater, s.playerHorse)) && !s.horseIsDrinking &&
           !isTrue(invoke<std::int32_t>(op::pedBusyWithHorse, s.playerPed)) &&
           isTrue(invoke<std::int32_t>(op::pedIsStill, s.playerHorse)) &&
           modelIsHorse(s.playerHorse);
}

} // namespace

bool fetchTarget(LoopState& s) {
    const Handle player = invoke<Handle>(op::playerIndex);
    // The game writes the target into playerHorse; without one the slot keeps what it held.
    return isTrue(invoke<std::int32_t>(op::playerTargetEntity, player, &s.playerHorse));
}

void drinkCommand(LoopState& s) {
    if (!isTrue(invoke<std::int32_t>(op::entityExists, s.playerHorse))) return;
    const Handle prompt = s.prompts.horseDrinkPrompt;
    if (!drinkOffered(s)) {
        setPromptShown(prompt, false);
        return;
    }
    invoke(op::promptSetGroup, prompt, s.horsePromptGroup, 0);
    setPromptShown(prompt, true);
    if (!promptCompleted(prompt)) return;
    // Placed where the horse stood at the top of the pass.
    const Hash drink = hashOf("WORLD_ANIMAL_HORSE_DRINK_GROUND");
    s.horseScenarioPoint = createScenarioPoint(drink, s.horsePosition.x, s.horsePosition.y,
                                               s.horsePosition.z, s.horseHeading);
    useScenarioPoint(s.playerHorse, s.horseScenarioPoint, drinkFor);
    s.nextStaminaRefillTime = addWrapping(gameTimer(), firstRefillAfter);
}
