#include "sim/chaos.h"

#include "host/native_hashes.h"

#include <atomic>
#include <cstring>

namespace sim::chaos {
namespace {
std::atomic<std::uint64_t> state{1};
}

void seed(std::uint64_t value) { state = value; }

std::uint64_t next() {
    std::uint64_t z = state.fetch_add(0x9E3779B97F4A7C15ull) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void respond(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
             std::uint64_t result[3]) {
    // Zeros and ones often enough that both sides of every test are taken, anything else too.
    for (int i = 0; i < 3; ++i) {
        const std::uint64_t r = next();
        result[i] = (r & 3) == 0 ? 0 : (r & 3) == 1 ? 1 : next();
    }
    // The game writes through the two out-parameters; so does this one, with anything.
    if ((hash == op::playerTargetEntity || hash == op::currentPedWeapon) && argc > 1 && args[1]) {
        const auto value = static_cast<std::uint32_t>(next());
        std::memcpy(reinterpret_cast<void*>(static_cast<std::uintptr_t>(args[1])), &value, 4);
    }
}

} // namespace sim::chaos
