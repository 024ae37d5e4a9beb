// Windows virtual-key codes by the names a player knows them by: "Y", "F5", "SPACE".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keys {

// A key name, or a code written in decimal or 0x hex; false for anything else.
bool codeOf(std::string_view name, std::uint32_t& code);
// The key's name; empty for a code that no named key sends.
std::string nameOf(std::uint32_t code);

} // namespace keys
