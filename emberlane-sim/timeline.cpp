#include "emberlane-sim/timeline.h"

#include "emberlane-sim/keys.h"
#include "host/profile_int.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

namespace timeline {
namespace {

std::string line(std::int64_t ms, const std::string& what, const std::string& detail) {
    char head[48];
    std::snprintf(head, sizeof head, "%s  %-18s ", clock(ms).c_str(), what.c_str());
    return head + detail + "\n";
}

std::string hotkey(std::uint32_t code) {
    const std::string number = std::to_string(code);
    // The key table has 255 entries, and Windows sends no key with the code 0.
    if (code >= 255) return number + ": 255 or more: off (the satchel prompt still opens the menu)";
    if (code == 0)
        return "0: no key has this code (a key name such as F5 reads as 0: write its number)";
    const std::string name = keys::nameOf(code);
    return number + " (" + (name.empty() ? "a key without a name here" : name) + ")";
}

std::string trimmed(std::string_view s) {
    auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    return std::string(s);
}

bool isSettings(const std::string& section) {
    return section.size() == 8 &&
           std::equal(section.begin(), section.end(), "SETTINGS", [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == b;
           });
}

// The keys the plug-in never reads: those before any section, in another one, or in a
// second [SETTINGS] (only the first counts), each with its line and where it stands.
std::string keysOutsideSettings(std::string_view text) {
    std::string out, section;
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
        if (inFirst || equals == std::string::npos) continue;
        const std::string where = section.empty()       ? "before any section"
                                  : isSettings(section) ? "in a second [" + section + "]"
                                                        : "in [" + section + "]";
        out += "ignored key        " + trimmed(std::string_view(line).substr(0, equals)) +
               " (line " + std::to_string(number) + ", " + where +
               "): the plug-in reads only the first [SETTINGS]\n";
    }
    return out;
}

} // namespace

std::string clock(std::int64_t ms) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return buffer;
}

std::string text(const session::Record& record) {
    std::string out;
    for (const session::Event& e : record.events) {
        std::string detail = e.detail;
        // The scene's own lines name their cause already; a change it made says so.
        if (e.what != "scene" && e.cause == session::Cause::Scene) detail += "  (by the scene)";
        if (e.cause == session::Cause::Game) detail += "  (by the game)";
        out += line(e.ms, e.what, detail);
    }
    return out;
}

std::string summary(const session::Record& r) {
    std::vector<std::uint64_t> calls = r.callsPerPass;
    std::sort(calls.begin(), calls.end());
    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "%zu passes in %s of game time; native calls per pass min %llu, median %llu, "
                  "max %llu; scenario points left undeleted: %zu\n",
                  calls.size(), clock(r.endMs).c_str(),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls.front()),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls[calls.size() / 2]),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls.back()), r.pointsLeft);
    return buffer;
}

std::string settingsHeader(const std::optional<std::string>& ini, const std::string& source) {
    // The plug-in's own reader, with its defaults: 89 (Y) and the discard on.
    const std::string text = ini.value_or("");
    const std::uint32_t key =
        profile::readInt(text.data(), text.size(), "SETTINGS", "PROMPTS_HOTKEY", 89);
    const auto discard = static_cast<std::int32_t>(
        profile::readInt(text.data(), text.size(), "SETTINGS", "DESTROY_SCENARIO_PROP", 1));
    std::string out;
    out += "settings           " +
           (ini ? source + ", as the plug-in reads it" : "no Emberlane.ini, so the defaults") +
           "\n";
    out += "hotkey             " + hotkey(key) + "\n";
    out += "prop discard       " +
           std::string(discard != 0 ? "on" : "off (the prop stays in hand)") + "\n";
    out += keysOutsideSettings(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    return out;
}

} // namespace timeline
