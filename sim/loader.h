// Loading the plug-in the way the game's loader does.
#pragma once

#include "host/platform.h"

#include <string>

namespace sim::loader {

// Maps the module (its static initialisers run) and hands it the attach notification.
void* load(const std::string& path, std::string& error);
// The detach notification, then the module is unmapped.
void unload(void* module);
// Whether a module of that path is mapped (after unload: did it really go?).
bool stillLoaded(const std::string& path);
// Another notification to the entry (thread attach and detach).
BOOL notify(void* module, DWORD reason);

} // namespace sim::loader
