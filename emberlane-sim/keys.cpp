#include "emberlane-sim/keys.h"

#include <charconv>

namespace keys {

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
