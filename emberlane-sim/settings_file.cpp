#include "emberlane-sim/settings_file.h"

#include "emberlane-sim/keys.h"
#include "emberlane-sim/scene.h"
#include "host/profile_int.h"
#include "sim/printable.h"

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

// Why a name read as a key is none: the part no key or modifier is called, and the working
// hotkey it likeliest means. Windows keeps a comment after the value as part of it.
std::string unknownName(std::string_view written) {
    std::string_view rest = written;
    std::size_t plus;
    while ((plus = rest.find('+')) != std::string_view::npos &&
           keys::modifierOf(trimmed(rest.substr(0, plus))))
        rest.remove_prefix(plus + 1);
    const std::string part = trimmed(rest.substr(0, plus));
    const std::string why = part.empty() ? "no key named between its '+' signs: off"
                                         : "no key is named " + sim::printable(part) + ": off";
    const std::size_t comment = written.find(';');
    const std::string meant = keys::likeliest(trimmed(written.substr(0, comment)));
    std::string advice =
        comment == std::string_view::npos ? "" : "a comment must stand on its own line";
    if (!meant.empty())
        advice += std::string(advice.empty() ? "" : "; ") + "did you mean " + meant + "?";
    return advice.empty() ? why : why + " (" + advice + ")";
}

// A text the profile functions read as a number: a sign, a 0x, 0o or 0b prefix, and digits of
// that base, nothing else.
bool isNumber(std::string_view s) {
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
    std::string_view digits = "0123456789";
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'o' || s[1] == 'b')) {
        digits = s[1] == 'x' ? "0123456789abcdefABCDEF" : s[1] == 'o' ? "01234567" : "01";
        s.remove_prefix(2);
    }
    return !s.empty() && s.find_first_not_of(digits) == std::string_view::npos;
}

// A key's value as written, when the number the plug-in reads from it is written otherwise:
// "0x74 reads as 116", or what a text that is no number reads as. "" when the value is that
// number, or empty, or missing (the default).
std::string asWritten(const std::string& text, const char* key, std::int64_t read) {
    const std::optional<std::string_view> written =
        profile::readString(text.data(), text.size(), "SETTINGS", key);
    const std::string number = std::to_string(read);
    if (!written || written->empty() || *written == number) return "";
    if (isNumber(*written)) return std::string(*written) + " reads as " + number;
    // Any other text from the file cannot end its line or move the cursor.
    return sim::quoted(*written).append(" is not a number and reads as ").append(number);
}

std::string hotkeyLine(const Settings& s, const std::string& text) {
    const keys::Hotkey& key = s.hotkey;
    if (s.unknownName) return sim::printable(s.written) + ": " + unknownName(s.written);
    if (!s.written.empty()) {
        if (key.modifiers) return keys::describe(key);
        return keys::nameOf(key.code) + " (" + std::to_string(key.code) + ")";
    }
    const std::string number = std::to_string(key.code);
    const std::string written = asWritten(text, "PROMPTS_HOTKEY", key.code);
    const std::string read = written.empty() ? number : written;
    // The key table has 255 entries; the host hands the plug-in keyboard messages alone.
    if (key.code >= 255)
        return read + ": 255 or more: off (the satchel prompt still opens the menu)";
    if (!keys::keyboardSends(key.code))
        return read + ": no keyboard key sends " + number +
               ": the menu opens only from the satchel prompt";
    const std::string name = keys::nameOf(key.code);
    return read + " (" + (name.empty() ? "a key without a name here" : name) + ")";
}

// A setting's state, with its value as written when that reads otherwise.
std::string withWritten(const std::string& state, const std::string& text, const char* key,
                        std::int32_t read) {
    const std::string written = asWritten(text, key, read);
    return written.empty() ? state : state + ": " + written;
}

// The next line and its end: a line feed, CR LF, or a lone CR, as the profile functions end
// lines.
std::string_view nextLine(std::string_view& text) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
        return line;
    }
    text.remove_prefix(text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
    return line;
}

// The keys the plug-in never reads: those before any section, in another one, or in a
// second [SETTINGS] (only the first counts); in the first, a key it does not know, a key's
// second line, and a line of a key without '=', which gives the default and hides the key's
// later lines. Each with its line and where it stands.
std::string keysNeverRead(std::string_view text) {
    const std::vector<std::string> known(readKeys.begin(), readKeys.end());
    std::string out, section;
    std::vector<std::string> seen;
    bool inFirst = false, settingsSeen = false;
    int number = 0;
    while (!text.empty()) {
        const std::string line = trimmed(nextLine(text));
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[' && line.find(']') != std::string::npos) {
            section = trimmed(std::string_view(line).substr(1, line.rfind(']') - 1));
            inFirst = isSettings(section) && !settingsSeen;
            settingsSeen = settingsSeen || inFirst;
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string key = trimmed(std::string_view(line).substr(0, equals));
        const std::string where = " (line " + std::to_string(number);
        const std::string shown = sim::printable(key); // it cannot end its line
        const bool read = std::find(known.begin(), known.end(), upper(key)) != known.end();
        const bool first = std::find(seen.begin(), seen.end(), upper(key)) == seen.end();
        if (equals == std::string::npos) {
            if (inFirst && read && first) {
                out.append("ignored key        ").append(shown).append(where);
                out += "): a line without '=' gives the default and hides the key's later lines\n";
                seen.push_back(upper(key));
            }
            continue;
        }
        if (inFirst) {
            if (!read) {
                const std::string nearest = scene::closest(key, known);
                out.append("unknown key        ").append(shown).append(where);
                out += "): the plug-in reads no such key";
                if (!nearest.empty()) out.append(" (did you mean ").append(nearest).append("?)");
                out += "\n";
            } else if (!first) {
                out.append("ignored key        ").append(shown).append(where);
                out += "): only its first line in [SETTINGS] counts\n";
            }
            seen.push_back(upper(key));
            continue;
        }
        const std::string place = section.empty() ? "before any section"
                                  : isSettings(section)
                                      ? "in a second [" + sim::printable(section) + "]"
                                      : "in [" + sim::printable(section) + "]";
        out.append("ignored key        ").append(shown).append(where).append(", ").append(place);
        out += "): the plug-in reads only the first [SETTINGS]\n";
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
    s.recordSession = static_cast<std::int32_t>(
        profile::readInt(text.data(), text.size(), "SETTINGS", "RECORD_SESSION", 0));
    return s;
}

std::string hotkeyLine(const std::optional<std::string>& ini) {
    return hotkeyLine(read(ini), ini.value_or(""));
}

std::string header(const std::optional<std::string>& ini, const std::string& source) {
    const Settings s = read(ini);
    const std::string text = ini.value_or("");
    std::string out;
    out += "settings           " +
           (ini ? source + ", as the plug-in reads it" : "no Emberlane.ini, so the defaults") +
           "\n";
    out += "hotkey             " + hotkeyLine(s, text) + "\n";
    out += "prop discard       " +
           withWritten(s.destroyProp != 0 ? "on" : "off (the prop stays in hand)", text,
                       "DESTROY_SCENARIO_PROP", s.destroyProp) +
           "\n";
    out += "recording          " +
           withWritten(s.recordSession != 0
                           ? "on: the plug-in writes Emberlane.rec beside Emberlane.ini"
                           : "off",
                       text, "RECORD_SESSION", s.recordSession) +
           "\n";
    out += keysNeverRead(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    return out;
}

} // namespace settings_file
