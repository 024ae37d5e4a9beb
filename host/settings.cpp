#include "host/settings.h"

#include "host/recording.h"

UINT PROMPTS_HOTKEY;
INT DESTROY_SCENARIO_PROP;

void readSettings() {
    static constexpr char file[] = ".\\Emberlane.ini";
    PROMPTS_HOTKEY = GetPrivateProfileIntA("SETTINGS", "PROMPTS_HOTKEY", 89, file);
    DESTROY_SCENARIO_PROP =
        static_cast<INT>(GetPrivateProfileIntA("SETTINGS", "DESTROY_SCENARIO_PROP", 1, file));
    // Read last, and only here: nothing the plug-in does depends on it but whether the
    // game's answers are written down.
    if (GetPrivateProfileIntA("SETTINGS", "RECORD_SESSION", 0, file) != 0)
        recording::start(PROMPTS_HOTKEY, DESTROY_SCENARIO_PROP);
}

namespace {
// Runs while the module loads, before the loader hands it the attach notification.
[[maybe_unused]] const bool settingsRead = (readSettings(), true);
} // namespace
