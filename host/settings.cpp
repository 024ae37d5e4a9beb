#include "host/settings.h"

#include "host/key_names.h"
#include "host/keyboard.h"
#include "host/recording.h"

UINT PROMPTS_HOTKEY;
std::uint8_t hotkeyModifiers;
INT DESTROY_SCENARIO_PROP;

namespace {

// The hotkey by a key's name ("F5", "Ctrl+Y"), or by the number it has always been.
void readHotkey(const char* file) {
    char text[64];
    GetPrivateProfileStringA("SETTINGS", "PROMPTS_HOTKEY", "", text, sizeof text, file);
    if (!keys::isName(text)) {
        PROMPTS_HOTKEY = GetPrivateProfileIntA("SETTINGS", "PROMPTS_HOTKEY", 89, file);
        return;
    }
    keys::Hotkey hotkey;
    // A name no key has turns the hotkey off, as a code of 255 does.
    PROMPTS_HOTKEY = keys::parseHotkey(text, hotkey) ? hotkey.code : keyCount;
    hotkeyModifiers = hotkey.modifiers;
}

} // namespace

void readSettings() {
    static constexpr char file[] = ".\\Emberlane.ini";
    readHotkey(file);
    DESTROY_SCENARIO_PROP =
        static_cast<INT>(GetPrivateProfileIntA("SETTINGS", "DESTROY_SCENARIO_PROP", 1, file));
    // Read last, and only here: nothing the plug-in does depends on it but whether the
    // game's answers are written down.
    if (GetPrivateProfileIntA("SETTINGS", "RECORD_SESSION", 0, file) != 0)
        recording::start(PROMPTS_HOTKEY, hotkeyModifiers, DESTROY_SCENARIO_PROP);
}

namespace {
// Runs while the module loads, before the loader hands it the attach notification.
[[maybe_unused]] const bool settingsRead = (readSettings(), true);
} // namespace
