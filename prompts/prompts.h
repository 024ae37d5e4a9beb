// The ten button prompts: created once, disabled and hidden, then shown and hidden by the blocks.
#pragma once

#include "host/natives.h"
#include "prompts/labels.h"

struct PromptSet {
    Handle washFacePrompt;
    Handle drinkWaterPrompt;
    Handle sitActivityPrompt;
    Handle sitGroundPrompt;
    Handle menuClosePrompt;
    Handle smokeMenuPrompt;
    Handle cigarPrompt;
    Handle smokePrompt;
    Handle horseDrinkPrompt;
    Handle menuPrompt;
};

// Registers one prompt on a control with a label; it ends disabled and hidden.
void createPrompt(Handle& prompt, const char* control, const char* label);

// All ten, in their creation order. The labels must outlive the prompts.
PromptSet createPrompts(const LabelLines& labelLines);

// Show (1) or hide (0): enabled, then visible, with the same value.
inline void setPromptShown(Handle prompt, bool shown) {
    invoke(op::promptSetEnabled, prompt, shown);
    invoke(op::promptSetVisible, prompt, shown);
}

inline bool promptCompleted(Handle prompt) {
    return isTrue(invoke<std::int32_t>(op::promptCompleted, prompt, 0));
}
