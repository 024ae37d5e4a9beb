#include "sim/printable.h"

#include <cstdint>
#include <cstdio>

namespace sim {
namespace {

constexpr std::size_t longest = 100; // bytes of a text shown before it is cut

// The length of the UTF-8 sequence at `at`, and its code point; 0 for a byte that begins none.
std::size_t sequence(std::string_view text, std::size_t at, std::uint32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    const std::size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (n == 0 || at + n > text.size()) return 0;
    code = lead & (0xFFu >> (n + 1));
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past Unicode's are no UTF-8.
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[n] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return n;
}

// Characters that a terminal or an editor may act on rather than show.
bool acts(std::uint32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

} // namespace

std::string printable(std::string_view text) {
    std::string out;
    char escape[16];
    std::size_t at = 0;
    for (; at < text.size() && at < longest;) {
        std::uint32_t code = 0;
        const std::size_t n = sequence(text, at, code);
        if (n == 0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[at]));
            out += escape;
            ++at;
            continue;
        }
        if (code == '\n' || code == '\t' || code == '\r' || code == '\\' || code == '"') {
            out += '\\';
            out += code == '\n' ? 'n' : code == '\t' ? 't' : code == '\r' ? 'r' : char(code);
        } else if (acts(code)) {
            std::snprintf(escape, sizeof escape, code < 0x80 ? "\\x%02X" : "\\u%04X", code);
            out += escape;
        } else {
            out.append(text.substr(at, n));
        }
        at += n;
    }
    if (at < text.size()) out += "… (" + std::to_string(text.size()) + " bytes)";
    return out;
}

std::string quoted(std::string_view text) {
    std::string out(1, '"'); // appended, not "\"" + ...: MinGW's GCC 12 warns on that
    return out.append(printable(text)).append(1, '"');
}

} // namespace sim
