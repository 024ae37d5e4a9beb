#pragma once

#include <stdexcept>
#include <string>

namespace sim {

// The stand-in game refuses to guess: an unknown native or a malformed call ends the run.
struct GameError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace sim
