#include "emberlane-sim/settings_file.h"

#include "emberlane-sim/keys.h"
#include "emberlane-sim/scene.h"
#include "host/profile_int.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

namespace settings_file {
namespace {

constexpr std::array<const char*, 3> readKeys = {"PROMPTS_HOTKEY", "DESTROY_SCENARIO_PROP",
                                                 "RECORD_SESSION"};

std::string trimmed(std::string_view s) {
    auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    return std::string(s);
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool isSettings(const std::string& section) { return upper(section) == "SETTINGS"; }

// Why a name read as a key is none: the part no key or modifier is called, with the closest.
std::string unknownPart(std::string_view written) {
    std::vector<std::string> modifiers;
    for (const keys::ModifierKey& m : keys::modifierKeys) modifiers.emplace_back(m.name);
    std::string part;
    std::vector<std::string> known;
    for (std::size_t plus; (plus = written.find('+')) != std::string_view::npos;
         written.remove_prefix(plus + 1)) {
        part = trimmed(written.substr(0, plus));
        if (!keys::modifierOf(part)) {
            known = modifiers;
            break;
        }
    }
    if (known.empty()) {
        part = trimmed(written);
        known = keys::allNames();
    }
    if (part.empty()) return "no key named between its '+' signs: off";
    const std::string nearest = scene::closest(part, known);
    return "no key is named " + part + ": off" +
           (nearest.empty() ? "" : " (did you mean " + nearest + "?)");
}

std::string hotkeyLine(const Settings& s) {
    const keys::Hotkey& key = s.hotkey;
    if (s.unknownName) return s.written + ": " + unknownPart(s.written);
    if (!s.written.empty()) {
        if (key.modifiers) return keys::describe(key);
        return keys::nameOf(key.code) + " (" + std::to_string(key.code) + ")";
    }
    const std::string number = std::to_string(key.code);
    // The key table has 255 entries, and Windows sends no key with the code 0.
    if (key.code >= 255)
        return number + ": 255 or more: off (the satchel prompt still opens the menu)";
    if (key.code == 0) return "0: no key has this code";
    return keys::describe(key);
}

// The keys the plug-in never reads: those before any section, in another one, or in a
// second [SETTINGS] (only the first counts); in the first, a key it does not know, and a
// key's second line. Each with its line and where it stands.
std::string keysNeverRead(std::string_view text) {
    const std::vector<std::string> known(readKeys.begin(), readKeys.end());
    std::string out, section;
    std::vector<std::string> seen;
    bool inFirst = false, settingsSeen = false;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[' && line.find(']') != std::string::npos) {
            section = trimmed(std::string_view(line).substr(1, line.rfind(']') - 1));
            inFirst = isSettings(section) && !settingsSeen;
            settingsSeen = settingsSeen || inFirst;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = trimmed(std::string_view(line).substr(0, equals));
        const std::string where = " (line " + std::to_string(number);
        if (inFirst) {
            if (std::find(known.begin(), known.end(), upper(key)) == known.end()) {
                const std::string nearest = scene::closest(key, known);
                out += "unknown key        " + key + where + "): the plug-in reads no such key" +
                       (nearest.empty() ? "" : " (did you mean " + nearest + "?)") + "\n";
            } else if (std::find(seen.begin(), seen.end(), upper(key)) != seen.end()) {
                out += "ignored key        " + key + where +
                       "): only its first line in [SETTINGS] counts\n";
            }
            seen.push_back(upper(key));
            continue;
        }
        const std::string place = section.empty()       ? "before any section"
                                  : isSettings(section) ? "in a second [" + section + "]"
                                                        : "in [" + section + "]";
        out += "ignored key        " + key + where + ", " + place +
               "): the plug-in reads only the first [SETTINGS]\n";
    }
    return out;
}

} // namespace

Settings read(const std::optional<std::string>& ini) {
    // The plug-in's own readers, with its defaults: 89 (Y) and the discard on.
    Settings s;
    const std::string text = ini.value_or("");
    const std::string value = std::string(
        profile::readString(text.data(), text.size(), "SETTINGS", "PROMPTS_HOTKEY").value_or(""));
    if (keys::isName(value)) {
        // As the plug-in keeps it: the first 63 letters.
        s.written = value.substr(0, 63);
        s.unknownName = !keys::parseHotkey(s.written, s.hotkey);
        if (s.unknownName) s.hotkey = {255, 0};
    } else {
        s.hotkey = {profile::readInt(text.data(), text.size(), "SETTINGS", "PROMPTS_HOTKEY", 89),
                    0};
    }
    s.destroyProp = static_cast<std::int32_t>(
        profile::readInt(text.data(), text.size(), "SETTINGS", "DESTROY_SCENARIO_PROP", 1));
    return s;
}

std::string header(const std::optional<std::string>& ini, const std::string& source) {
    const Settings s = read(ini);
    const std::string text = ini.value_or("");
    std::string out;
    out += "settings           " +
           (ini ? source + ", as the plug-in reads it" : "no Emberlane.ini, so the defaults") +
           "\n";
    out += "hotkey             " + hotkeyLine(s) + "\n";
    out += "prop discard       " +
           std::string(s.destroyProp != 0 ? "on" : "off (the prop stays in hand)") + "\n";
    out += keysNeverRead(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    return out;
}

} // namespace settings_file
