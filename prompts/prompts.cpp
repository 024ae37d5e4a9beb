#include "prompts/prompts.h"

void createPrompt(Handle& prompt, const char* control, const char* label) {
    prompt = invoke<Handle>(op::promptRegisterBegin);
    const Hash action = hashOf(control);
    invoke(op::promptSetControlAction, prompt, action);
    const TextHandle text = invoke<TextHandle>(op::literalText, 10, "LITERAL_STRING", label);
    invoke(op::promptSetText, prompt, text);
    invoke(op::promptSetStandardMode, prompt, 1);
    invoke(op::promptRegisterEnd, prompt);
    setPromptShown(prompt, false);
}

PromptSet createPrompts(const LabelLines& labelLines) {
    // Label lines follow the file's order; the creation order differs.
    PromptSet p{};
    createPrompt(p.washFacePrompt, "INPUT_CONTEXT_Y", labelLines[0].c_str());
    createPrompt(p.drinkWaterPrompt, "INPUT_CONTEXT_B", labelLines[8].c_str());
    createPrompt(p.sitActivityPrompt, "INPUT_CONTEXT_Y", labelLines[2].c_str());
    createPrompt(p.sitGroundPrompt, "INPUT_INTERACT_OPTION1", labelLines[1].c_str());
    createPrompt(p.menuClosePrompt, "INPUT_CONTEXT_B", labelLines[9].c_str());
    createPrompt(p.smokeMenuPrompt, "INPUT_CONTEXT_A", labelLines[3].c_str());
    createPrompt(p.cigarPrompt, "INPUT_CONTEXT_Y", labelLines[4].c_str());
    createPrompt(p.smokePrompt, "INPUT_CONTEXT_X", labelLines[5].c_str());
    createPrompt(p.horseDrinkPrompt, "INPUT_SPRINT", labelLines[6].c_str());
    createPrompt(p.menuPrompt, "INPUT_CONTEXT_Y", labelLines[7].c_str());
    return p;
}
