#include "host/keyboard.h"

#include "host/key_names.h"
#include "host/recording.h"
#include "host/recording_format.h"

#include <array>

KeyState keyStates[keyCount];

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

KeyRead read(const KeyState& state) {
    return {state.time.load(relaxed), state.isUpNow.load(relaxed)};
}

} // namespace

void keyboardHandler(DWORD key, WORD, BYTE, BOOL, BOOL isWithAlt, BOOL wasDownBefore,
                     BOOL isUpNow) {
    if (key >= keyCount) return;
    KeyState& state = keyStates[key];
    state.time.store(GetTickCount(), relaxed);
    state.isWithAlt.store(isWithAlt, relaxed);
    state.wasDownBefore.store(wasDownBefore, relaxed);
    state.isUpNow.store(isUpNow, relaxed);
}

bool isHotkeyReleased(DWORD key, std::uint8_t modifiers) {
    if (key >= keyCount) return false;
    const std::uint32_t now = GetTickCount();
    KeyState& state = keyStates[key];
    const KeyRead hotkey = read(state);
    // Unsigned on purpose: the sum wraps with the tick count, and the test is strict.
    const bool released = now < hotkey.time + 100u && hotkey.isUpNow != 0;
    if (!released) {
        if (recording::on) recording::hotkeyTest(now, hotkey, nullptr, 0);
        return false;
    }
    // The modifiers' records are read only for a release, the only time they matter.
    std::array<KeyRead, std::size(keys::modifierKeys)> held{}; // read only up to count
    static_assert(held.size() == recording_format::maxModifiers);
    std::size_t count = 0;
    bool allHeld = true;
    for (const keys::ModifierKey& m : keys::modifierKeys)
        if (modifiers & m.bit) {
            held[count] = read(keyStates[m.code]);
            allHeld = allHeld && heldAt(held[count], hotkey.time);
            ++count;
        }
    if (recording::on) recording::hotkeyTest(now, hotkey, held.data(), count);
    // A release is answered once, and one made without its modifiers is used up too: a
    // modifier let go a moment later must not make it count.
    state.time.store(0, relaxed);
    state.isWithAlt.store(0, relaxed);
    state.wasDownBefore.store(0, relaxed);
    state.isUpNow.store(0, relaxed);
    return allHeld;
}
