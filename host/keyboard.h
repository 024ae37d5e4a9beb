// The last key message of each key, written by the host's input path and read by the script.
#pragma once

#include "host/platform.h"

#include <atomic>
#include <cstdint>

// Each field is a relaxed 32-bit atomic: the handler and the script share the table
// without a lock, and this keeps that sharing defined while the machine code stays plain
// 32-bit loads and stores. A message that lands between the test's reads and its clearing
// is lost, as before.
struct KeyState {
    std::atomic<std::uint32_t> time;
    std::atomic<std::int32_t> isWithAlt;
    std::atomic<std::int32_t> wasDownBefore;
    std::atomic<std::int32_t> isUpNow;
};
static_assert(sizeof(KeyState) == 16);

inline constexpr DWORD keyCount = 255;
extern KeyState keyStates[keyCount];

// What the hotkey test reads of a key's record.
struct KeyRead {
    std::uint32_t time;
    std::int32_t isUpNow;
};

// A modifier held as the hotkey was let go at `released`: down now, or let go at that moment
// or after it. A record no message has written reads as up.
inline bool heldAt(KeyRead modifier, std::uint32_t released) {
    if (modifier.isUpNow == 0) return modifier.time != 0;
    return static_cast<std::int32_t>(modifier.time - released) >= 0;
}

void keyboardHandler(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended, BOOL isWithAlt,
                     BOOL wasDownBefore, BOOL isUpNow);

// True once for a release of the key less than 100 ms ago (tick-count time), made while the
// modifiers (keys::ctrl, shift, alt) were held; a release, answered or not, clears the key's
// record.
bool isHotkeyReleased(DWORD key, std::uint8_t modifiers = 0);
