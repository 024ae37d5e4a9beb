#include "host/profile_int.h"

#include "host/ascii.h"

#include <cstring>
#include <optional>
#include <string_view>

namespace profile {
namespace {

// Carriage return and the old DOS end-of-file mark count as white space, as in the
// profile functions.
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

// The value buffer of the integer read holds 29 characters; a value in matching quotes
// loses them when it fits.
constexpr std::size_t valueBuffer = 30;

std::string_view copyEntry(std::string_view value) {
    char quote = 0;
    if (value.size() > 1 && (value.front() == '\'' || value.front() == '"') &&
        value.back() == value.front()) {
        quote = value.front();
        value.remove_prefix(1);
    }
    const bool closingFits = quote != 0 && valueBuffer >= value.size();
    if (value.size() > valueBuffer - 1) value = value.substr(0, valueBuffer - 1);
    if (closingFits && !value.empty()) value.remove_suffix(1);
    return value;
}

} // namespace

std::uint32_t toInteger(const char* value, std::size_t size) {
    std::string_view s(value, size);
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    bool minus = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        minus = s.front() == '-';
        s.remove_prefix(1);
    }
    std::uint32_t base = 10;
    if (s.size() >= 2 && s[0] == '0') {
        if (s[1] == 'b') base = 2;
        if (s[1] == 'o') base = 8;
        if (s[1] == 'x') base = 16;
        if (base != 10) s.remove_prefix(2);
    }
    std::uint32_t total = 0;
    for (char c : s) {
        std::uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else
            break;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return minus ? 0u - total : total;
}

namespace {

// The value of the key's first line in the first section of the name, without the white space
// around it; none when the section or the key is missing, or the key's line has no "=".
std::optional<std::string_view> valueOf(const char* text, std::size_t size, const char* section,
                                        const char* key) {
    std::string_view file(text, size);
    if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
    const std::string_view wantedSection = trim(section);
    const std::string_view wantedKey = trim(key);
    if (wantedKey.empty()) return std::nullopt;

    // Only the first section of the name counts, and in it the first line of the key.
    bool inWanted = false;
    bool seenWanted = false;
    while (!file.empty()) {
        // A lone CR ends a line too, as in files from old Macs.
        const std::size_t end = file.find_first_of("\r\n");
        std::string_view line = trim(file.substr(0, end));
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                if (seenWanted) return std::nullopt;
                // Spaces inside the brackets do not count: "[ SETTINGS ]" is SETTINGS.
                inWanted = !wantedSection.empty() &&
                           equalNoCase(trim(line.substr(1, close - 1)), wantedSection);
                seenWanted = inWanted;
                continue;
            }
        }
        if (!inWanted) continue;
        const std::size_t equals = line.find('=');
        const std::string_view name = trim(line.substr(0, equals));
        if (!equalNoCase(name, wantedKey)) continue;
        if (equals == std::string_view::npos) return std::nullopt;
        return trim(line.substr(equals + 1));
    }
    return std::nullopt;
}

} // namespace

std::uint32_t readInt(const char* text, std::size_t size, const char* section, const char* key,
                      std::int32_t defaultValue) {
    const auto fallback = static_cast<std::uint32_t>(defaultValue);
    const std::optional<std::string_view> found = valueOf(text, size, section, key);
    if (!found) return fallback;
    const std::string_view value = copyEntry(*found);
    if (value.empty()) return fallback;
    return toInteger(value.data(), value.size());
}

std::optional<std::string_view> readString(const char* text, std::size_t size, const char* section,
                                           const char* key) {
    std::optional<std::string_view> value = valueOf(text, size, section, key);
    // Quotes around the whole value are not part of it.
    if (value && value->size() > 1 && (value->front() == '\'' || value->front() == '"') &&
        value->back() == value->front())
        value = value->substr(1, value->size() - 2);
    return value;
}

} // namespace profile
