// The rest menu: four main entries, and a smoking choice that keeps the close entry.
// Which entries are on screen is the game's own prompt state; the menu keeps none.
#include "activities/activities.h"
#include "host/keyboard.h"
#include "host/settings.h"

namespace {

// The hotkey opens only on land and out of a fight, and its release is used up either way;
// the satchel prompt opens anywhere.
bool menuOpened(const LoopState& s) {
    if (isHotkeyReleased(PROMPTS_HOTKEY, hotkeyModifiers) &&
        !isTrue(invoke<std::int32_t>(op::entityInWater, s.playerPed)) &&
        !isTrue(invoke<std::int32_t>(op::pedInCombat, s.playerPed, 0)))
        return true;
    return promptCompleted(s.prompts.menuPrompt);
}

void open(const LoopState& s) {
    if (!menuOpened(s)) return;
    const PromptSet& p = s.prompts;
    for (Handle entry :
         {p.sitActivityPrompt, p.menuClosePrompt, p.smokeMenuPrompt, p.sitGroundPrompt})
        setPromptShown(entry, true);
}

// Any scenario closes the menu, so it goes away as soon as an activity starts.
void close(const LoopState& s) {
    const PromptSet& p = s.prompts;
    if (!promptCompleted(p.menuClosePrompt) && !pedUsingAnyScenario(s.playerPed)) return;
    for (Handle entry : {p.sitActivityPrompt, p.menuClosePrompt, p.smokeMenuPrompt,
                         p.sitGroundPrompt, p.cigarPrompt, p.smokePrompt})
        setPromptShown(entry, false);
}

void smokingChoiceSwitch(const LoopState& s) {
    const PromptSet& p = s.prompts;
    if (!promptCompleted(p.smokeMenuPrompt)) return;
    for (Handle entry : {p.sitActivityPrompt, p.smokeMenuPrompt, p.sitGroundPrompt})
        setPromptShown(entry, false);
    for (Handle entry : {p.cigarPrompt, p.smokePrompt}) setPromptShown(entry, true);
}

} // namespace

void restMenu(LoopState& s) {
    open(s);
    close(s);
    sitActivityStart(s);
    sitGroundStart(s);
    smokingChoiceSwitch(s);
    cigarStart(s);
    smokeStart(s);
}
