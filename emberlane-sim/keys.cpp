#include "emberlane-sim/keys.h"

#include <charconv>
#include <utility>

namespace keys {
namespace {

// Letters, digits and F1-F24 follow from their codes; these others are named one by one.
constexpr std::pair<std::string_view, std::uint32_t> named[] = {
    {"BACKSPACE", 0x08}, {"TAB", 0x09},    {"ENTER", 0x0D}, {"SHIFT", 0x10},  {"CTRL", 0x11},
    {"ALT", 0x12},       {"ESCAPE", 0x1B}, {"SPACE", 0x20}, {"PAGEUP", 0x21}, {"PAGEDOWN", 0x22},
    {"END", 0x23},       {"HOME", 0x24},   {"LEFT", 0x25},  {"UP", 0x26},     {"RIGHT", 0x27},
    {"DOWN", 0x28},      {"INSERT", 0x2D}, {"DELETE", 0x2E}};

constexpr std::uint32_t f1 = 0x70;

} // namespace

bool codeOf(std::string_view s, std::uint32_t& code) {
    if (s.size() == 1 && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= '0' && s[0] <= '9'))) {
        code = static_cast<unsigned char>(s[0]);
        return true;
    }
    if (s.size() >= 2 && s.size() <= 3 && s[0] == 'F') {
        unsigned n = 0;
        const auto r = std::from_chars(s.data() + 1, s.data() + s.size(), n);
        if (r.ec == std::errc{} && r.ptr == s.data() + s.size() && n >= 1 && n <= 24) {
            code = f1 + n - 1;
            return true;
        }
    }
    for (const auto& [name, value] : named)
        if (s == name) {
            code = value;
            return true;
        }
    std::uint64_t v = 0;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    const char* first = s.data() + (hex ? 2 : 0);
    const auto r = std::from_chars(first, s.data() + s.size(), v, hex ? 16 : 10);
    if (r.ec != std::errc{} || r.ptr != s.data() + s.size() || v > 0xFFFFFFFFu) return false;
    code = static_cast<std::uint32_t>(v);
    return true;
}

std::string nameOf(std::uint32_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, static_cast<char>(code));
    if (code >= f1 && code < f1 + 24) {
        std::string name(1, 'F'); // appended, not "F" + ...: MinGW's GCC 12 warns on that
        return name.append(std::to_string(code - f1 + 1));
    }
    for (const auto& [name, value] : named)
        if (code == value) return std::string(name);
    return "";
}

} // namespace keys
