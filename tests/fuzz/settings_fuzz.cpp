// The settings reader agrees with a small model of the Windows profile rules.
#include "host/profile_int.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

bool space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string trimmed(std::string s) {
    std::size_t a = 0, b = s.size();
    while (a < b && space(s[a])) ++a;
    while (b > a && space(s[b - 1])) --b;
    return s.substr(a, b - a);
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

std::uint32_t number(const std::string& v) {
    std::size_t i = 0;
    while (i < v.size() && static_cast<unsigned char>(v[i]) <= 32) ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
    unsigned base = 10;
    if (i + 1 < v.size() && v[i] == '0' &&
        (v[i + 1] == 'x' || v[i + 1] == 'o' || v[i + 1] == 'b')) {
        base = v[i + 1] == 'x' ? 16 : v[i + 1] == 'o' ? 8 : 2;
        i += 2;
    }
    std::uint32_t n = 0;
    for (; i < v.size(); ++i) {
        const char c = v[i];
        unsigned d = 99;
        if (std::isdigit(static_cast<unsigned char>(c)))
            d = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'z')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            d = static_cast<unsigned>(c - 'A' + 10);
        if (d >= base) break;
        n = n * base + d;
    }
    return negative ? ~n + 1 : n;
}

std::uint32_t model(std::string text, const std::string& key, std::int32_t fallback) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    for (char& c : text)
        if (c == '\r') c = '\n'; // either ends a line
    std::istringstream in(text);
    std::string line;
    int state = 0; // 0 before SETTINGS, 1 in the first SETTINGS, 2 after it
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty()) continue;
        const auto close = line.rfind(']');
        if (line[0] == '[' && close != std::string::npos) {
            if (state == 1) return static_cast<std::uint32_t>(fallback);
            if (upper(trimmed(line.substr(1, close - 1))) == "SETTINGS") state = 1;
            continue;
        }
        if (state != 1) continue;
        const auto equals = line.find('=');
        if (upper(trimmed(line.substr(0, equals))) != upper(key)) continue;
        if (equals == std::string::npos) return static_cast<std::uint32_t>(fallback);
        std::string value = trimmed(line.substr(equals + 1));
        bool quoted =
            value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
        if (quoted) value.erase(0, 1);
        const bool closing = quoted && value.size() <= 30;
        if (value.size() > 29) value.resize(29);
        if (closing && !value.empty()) value.pop_back();
        if (value.empty()) return static_cast<std::uint32_t>(fallback);
        return number(value);
    }
    return static_cast<std::uint32_t>(fallback);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"PROMPTS_HOTKEY", "DESTROY_SCENARIO_PROP"}) {
        const std::uint32_t got = profile::readInt(text.data(), text.size(), "SETTINGS", key, 89);
        if (got != model(text, key, 89)) std::abort();
    }
    return 0;
}
