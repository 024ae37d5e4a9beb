// The integer a Windows initialisation file gives for a key, read the way the Windows
// profile functions read it. The Linux build's GetPrivateProfileIntA stands on this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace profile {

// `text` is the whole file. Returns `defaultValue` when the section, the key or its value is
// missing or empty; otherwise the value's number, converted as the profile functions convert.
std::uint32_t readInt(const char* text, std::size_t size, const char* section, const char* key,
                      std::int32_t defaultValue);

// The text a Windows initialisation file gives for a key, as the string read gives it: the
// value without the white space around it and without quotes around the whole of it; none when
// the section or the key is missing. A view into `text`.
std::optional<std::string_view> readString(const char* text, std::size_t size, const char* section,
                                           const char* key);

// The conversion alone: leading control characters and spaces, one sign, a 0x / 0o / 0b
// prefix, digits up to the first one that does not belong; 32-bit arithmetic that wraps.
std::uint32_t toInteger(const char* value, std::size_t size);

} // namespace profile
