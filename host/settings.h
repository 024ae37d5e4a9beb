// The settings of Emberlane.ini, read once when the plug-in is loaded.
#pragma once

#include "host/platform.h"

#include <cstdint>

// Virtual-key code whose release opens the rest menu; 255 or more never fires.
extern UINT PROMPTS_HOTKEY;
// The keys that must be held as the hotkey is released (keys::ctrl, shift, alt); none for a
// hotkey written without them.
extern std::uint8_t hotkeyModifiers;
// Non-zero: the prop held for an activity is discarded when the player leaves it.
extern INT DESTROY_SCENARIO_PROP;

void readSettings();
