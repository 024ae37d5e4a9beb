// The hotkey as the settings give it: a key's virtual-key code, and the modifiers that must be
// held as it is released.
#pragma once

#include <cstdint>

namespace keys {

// The modifiers a hotkey may ask to be held, as bits; a recording keeps them so too.
enum Modifier : std::uint8_t { ctrl = 1, shift = 2, alt = 4 };

struct Hotkey {
    std::uint32_t code = 0;
    std::uint8_t modifiers = 0;
};

} // namespace keys
