// Releasing the satchel control offers the rest menu for two seconds.
#include "activities/activities.h"

namespace {
constexpr std::int32_t shownFor = 2000; // inclusive
}

void menuPromptAfterSatchel(LoopState& s) {
    Handle menu = s.prompts.menuPrompt;
    if (s.satchelReleased && !isTrue(invoke<std::int32_t>(op::usingKeyboardAndMouse, 0))) {
        setPromptShown(menu, true);
        s.menuPromptShownTime = gameTimer();
    }
    if (promptCompleted(menu) || s.menuPromptShownTime == 0 ||
        timeSince(gameTimer(), s.menuPromptShownTime) > shownFor)
        setPromptShown(menu, false);
}
