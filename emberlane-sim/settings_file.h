// Emberlane.ini as the plug-in reads it, for the simulator: the header that opens its output
// and answers "why doesn't my key work", and the hotkey a scene's 'key hotkey' presses.
#pragma once

#include "host/hotkey.h"

#include <cstdint>
#include <optional>
#include <string>

namespace settings_file {

struct Settings {
    keys::Hotkey hotkey{89, 0}; // a code of 255 or more: off
    std::string written;        // PROMPTS_HOTKEY as written, when it names a key
    bool unknownName = false;   // it names no key, so the hotkey is off
    std::int32_t destroyProp = 1;
    std::int32_t recordSession = 0; // RECORD_SESSION: not 0, Emberlane.rec is written
};

// The settings the plug-in reads from the file's text; none: there is no file.
Settings read(const std::optional<std::string>& ini);

// The hotkey as the header shows it: its key's name, or why it never fires.
std::string hotkeyLine(const std::optional<std::string>& ini);

// The plug-in's reading of the file, a line each: where the settings came from, the hotkey
// with its key's name or why it never fires, the prop discard, the recording, and each key it
// never reads, outside the first [SETTINGS], misspelt or repeated inside it. A value written
// otherwise than as the number it is read as is shown as written too. `source` says where the
// file came from.
std::string header(const std::optional<std::string>& ini, const std::string& source);

} // namespace settings_file
