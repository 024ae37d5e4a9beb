#include "emberlane-sim/keys.h"

#include "emberlane-sim/scene.h"
#include "host/ascii.h"

#include <charconv>

namespace keys {
namespace {

constexpr std::string_view digits = "0123456789";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The key a name no key has likeliest means. A number is a key's code, as after a modifier,
// where the digit keys go by their digits (Ctrl+53: the 5 key). A name that ends in a number
// keeps it, among the names that begin alike (NUM5: NUMPAD5; F0: F10, the key after F9).
std::string likeliestKey(std::string_view part) {
    if (part.empty()) return "";
    if (const std::uint32_t code = codeOfName(part)) return nameOf(code);
    Hotkey number;
    if (digits.find(part[0]) != std::string_view::npos)
        return fromText(part, number) ? nameOf(number.code) : "";
    const std::size_t digit = part.find_first_of(digits);
    if (digit != std::string_view::npos &&
        part.find_first_not_of(digits, digit) == std::string_view::npos) {
        const std::string_view letters = part.substr(0, digit), wanted = part.substr(digit);
        std::string holding;
        for (const std::string& name : allNames()) {
            const std::size_t theirs = name.find_first_of(digits);
            if (theirs == std::string::npos || theirs < letters.size() ||
                !equalNoCase(std::string_view(name).substr(0, letters.size()), letters))
                continue;
            if (name.substr(theirs) == wanted) return name;
            if (holding.empty() && name.find(wanted, theirs) != std::string::npos) holding = name;
        }
        if (!holding.empty()) return holding;
    }
    return scene::closest(part, allNames());
}

} // namespace

bool fromText(std::string_view text, Hotkey& key) {
    if (isName(text)) return parseHotkey(text, key);
    std::uint64_t v = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const auto r = std::from_chars(first, text.data() + text.size(), v, hex ? 16 : 10);
    if (r.ec != std::errc{} || r.ptr != text.data() + text.size() || v > 0xFFFFFFFFu) return false;
    key = {static_cast<std::uint32_t>(v), 0};
    return true;
}

std::string nameOf(std::uint32_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, static_cast<char>(code));
    if (code >= firstFunctionKey && code < firstFunctionKey + functionKeys) {
        std::string name(1, 'F'); // appended, not "F" + ...: MinGW's GCC 12 warns on that
        return name.append(std::to_string(code - firstFunctionKey + 1));
    }
    if (code >= firstNumpadKey && code < firstNumpadKey + 10) {
        std::string name("NUMPAD");
        return name.append(1, static_cast<char>('0' + code - firstNumpadKey));
    }
    for (const NamedKey& key : namedKeys())
        if (code == key.code) return std::string(key.name);
    return "";
}

std::string modifiersOf(std::uint8_t modifiers) {
    std::vector<std::string_view> held;
    for (const ModifierKey& m : modifierKeys)
        if (modifiers & m.bit) held.push_back(m.name);
    std::string out;
    for (std::size_t i = 0; i < held.size(); ++i)
        out.append(i == 0 ? "" : i + 1 == held.size() ? " and " : ", ").append(held[i]);
    return out;
}

std::string nameOf(const Hotkey& key) {
    std::string out;
    for (const ModifierKey& m : modifierKeys)
        if (key.modifiers & m.bit) out.append(m.name).append("+");
    const std::string name = nameOf(key.code);
    return out.append(name.empty() ? std::to_string(key.code) : name);
}

std::string describe(const Hotkey& key) {
    const std::string code = std::to_string(key.code);
    if (key.modifiers)
        return nameOf(key) + " (" + code + " with " + modifiersOf(key.modifiers) + ")";
    const std::string name = nameOf(key.code);
    return code + " (" + (name.empty() ? "a key without a name here" : name) + ")";
}

bool keyboardSends(std::uint32_t code) {
    // The mouse buttons (1, 2, 4, 5, 6), codes reserved or never assigned, the pad's and the
    // interface's, and the left and right Shift, Ctrl and Alt: key messages carry those as
    // plain Shift, Ctrl and Alt.
    struct Range {
        std::uint32_t first, last;
    };
    constexpr Range none[] = {{0x00, 0x02}, {0x04, 0x07},      {0x0A, 0x0B}, {0x0E, 0x0F},
                              {0x3A, 0x40}, {0x5E, 0x5E},      {0x88, 0x8F}, {0x97, 0x9F},
                              {0xA0, 0xA5}, {0xB8, 0xB9},      {0xC3, 0xDA}, {0xE0, 0xE0},
                              {0xE7, 0xE8}, {0xFF, 0xFFFFFFFF}};
    for (const Range& r : none)
        if (code >= r.first && code <= r.last) return false;
    return true;
}

std::string likeliest(std::string_view written) {
    std::vector<std::string> modifiers;
    for (const ModifierKey& m : modifierKeys) modifiers.emplace_back(m.name);
    std::string out;
    for (std::size_t plus; (plus = written.find('+')) != std::string_view::npos;
         written.remove_prefix(plus + 1)) {
        const std::string_view part = trimmed(written.substr(0, plus));
        std::string modifier = scene::closest(part, modifiers);
        for (const ModifierKey& m : modifierKeys)
            if (modifierOf(part) == m.bit) modifier = m.name;
        if (modifier.empty()) return "";
        out += modifier + "+";
    }
    out += likeliestKey(trimmed(written));
    Hotkey works;
    return parseHotkey(out, works) ? out : "";
}

std::string unseen(std::uint32_t released, std::uint32_t now, bool scriptWaited) {
    // As the plug-in's test reads them: unsigned, the sum wrapping with the tick count.
    if (now < released + 100u) return "";
    if (scriptWaited) return "not seen: the script was waiting";
    return "not seen: the next pass came " + std::to_string(now - released) + " ms after it";
}

std::vector<std::string> allNames() {
    std::vector<std::string> names;
    for (char c = 'A'; c <= 'Z'; ++c) names.emplace_back(1, c);
    for (std::uint32_t n = 0; n < functionKeys; ++n) names.push_back(nameOf(firstFunctionKey + n));
    for (std::uint32_t n = 0; n < 10; ++n) names.push_back(nameOf(firstNumpadKey + n));
    for (const NamedKey& key : namedKeys()) names.emplace_back(key.name);
    for (const ModifierKey& m : modifierKeys) names.emplace_back(m.name);
    return names;
}

} // namespace keys
