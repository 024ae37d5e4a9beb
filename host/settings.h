// The two settings of Emberlane.ini, read once when the plug-in is loaded.
#pragma once

#include "host/platform.h"

// Virtual-key code whose release opens the rest menu; 255 or more never fires.
extern UINT PROMPTS_HOTKEY;
// Non-zero: the prop held for an activity is discarded when the player leaves it.
extern INT DESTROY_SCENARIO_PROP;

void readSettings();
