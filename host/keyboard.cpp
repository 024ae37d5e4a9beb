#include "host/keyboard.h"

#include "host/recording.h"

KeyState keyStates[keyCount];

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
}

void keyboardHandler(DWORD key, WORD, BYTE, BOOL, BOOL isWithAlt, BOOL wasDownBefore,
                     BOOL isUpNow) {
    if (key >= keyCount) return;
    KeyState& state = keyStates[key];
    state.time.store(GetTickCount(), relaxed);
    state.isWithAlt.store(isWithAlt, relaxed);
    state.wasDownBefore.store(wasDownBefore, relaxed);
    state.isUpNow.store(isUpNow, relaxed);
}

bool isHotkeyReleased(DWORD key) {
    if (key >= keyCount) return false;
    const std::uint32_t now = GetTickCount();
    KeyState& state = keyStates[key];
    const std::uint32_t time = state.time.load(relaxed);
    const std::int32_t isUpNow = state.isUpNow.load(relaxed);
    if (recording::on) recording::hotkeyTest(now, time, isUpNow);
    // Unsigned on purpose: the sum wraps with the tick count, and the test is strict.
    if (!(now < time + 100u && isUpNow != 0)) return false;
    state.time.store(0, relaxed);
    state.isWithAlt.store(0, relaxed);
    state.wasDownBefore.store(0, relaxed);
    state.isUpNow.store(0, relaxed);
    return true;
}
