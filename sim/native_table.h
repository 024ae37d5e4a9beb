// What the stand-in game knows of each native: the community name, the role the plug-in
// gives it, and how its arguments and result are laid out (for checking and for the trace).
#pragma once

#include <cstdint>

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

const NativeInfo* findNative(std::uint64_t hash);
const NativeInfo* nativeTable(std::size_t& count);

} // namespace sim
