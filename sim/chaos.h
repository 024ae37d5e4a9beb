// A game that answers every query with arbitrary 32-bit values: handles, booleans other than
// 0 and 1, cores outside 0-100, timers that jump or run backwards, random picks out of range,
// completions at random. For soaking the plug-in, never for behaviour.
#pragma once

#include <cstdint>

namespace sim::chaos {

void seed(std::uint64_t value);
void respond(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
             std::uint64_t result[3]);
std::uint64_t next(); // the same stream, for a key sender of the test's own

} // namespace sim::chaos
