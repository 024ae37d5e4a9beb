// What the stand-in game knows of each native: the community name, the role the plug-in
// gives it, and how its arguments and result are laid out (for checking and for the trace).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace sim {

// Argument kinds: i int or handle, b boolean 0/1, h hash, f float, s text address (may be 0),
// p out-parameter address, t 64-bit text handle, a any 64 bits.
// Result kinds: v none, i int, b boolean, h hash, f float, t text handle, c position.
struct NativeInfo {
    std::uint64_t hash;
    const char* name;
    const char* role;
    const char* args;
    char result;
};

inline constexpr std::size_t nativeCount = 48;

const NativeInfo* findNative(std::uint64_t hash);
const NativeInfo* nativeTable(std::size_t& count);

// A native's place in the table, 0 to nativeCount - 1; nativeCount for a hash it does not hold.
std::size_t placeOf(std::uint64_t hash);

// What a table of (hash, value) pairs gives each native, at the native's place, and at
// nativeCount the empty value, for what the pairs leave out: made once, read at every call.
template <typename T, std::size_t N>
std::array<T, nativeCount + 1> byPlace(const std::pair<std::uint64_t, T> (&pairs)[N]) {
    std::array<T, nativeCount + 1> out{};
    for (const auto& [hash, value] : pairs)
        if (placeOf(hash) < nativeCount) out[placeOf(hash)] = value;
    return out;
}

} // namespace sim
