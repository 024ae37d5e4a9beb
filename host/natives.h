// The game-call layer: the one place that speaks the host's push protocol, and the
// typed wrappers for the calls that take or return floats and positions.
#pragma once

#include "host/host_interface.h"
#include "host/native_hashes.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Ped, entity, player index, prompt, prompt group or scenario point; 0 means none.
using Handle = std::int32_t;
// A name as the game's string hash gives it.
using Hash = std::uint32_t;
// A game text made from literal text; the whole 64-bit result slot.
using TextHandle = std::uint64_t;

struct Vector3 {
    float x, y, z;
};

// The call layer is a handful of instructions a call and must vanish into its callers, which
// compilers do not always see for themselves.
#if defined(_MSC_VER) && !defined(__clang__)
#define EMBERLANE_ALWAYS_INLINE __forceinline
#else
#define EMBERLANE_ALWAYS_INLINE [[gnu::always_inline]] inline
#endif

// A game boolean: any non-zero answer is true.
inline constexpr bool isTrue(std::int32_t answer) { return answer != 0; }

namespace native {

// The seventh argument of the scenario-point creation: -1 with all 64 bits set,
// where every other 32-bit value goes out zero-extended.
struct AllBitsSet {};

inline std::uint64_t encode(std::int32_t v) { return static_cast<std::uint32_t>(v); }
inline std::uint64_t encode(std::uint32_t v) { return v; }
inline std::uint64_t encode(bool v) { return v ? 1u : 0u; }
inline std::uint64_t encode(float v) { return std::bit_cast<std::uint32_t>(v); }
inline std::uint64_t encode(const char* text) { return reinterpret_cast<std::uintptr_t>(text); }
template <typename T>
std::uint64_t encode(T* out) {
    return reinterpret_cast<std::uintptr_t>(out);
}
inline std::uint64_t encode(AllBitsSet) { return ~std::uint64_t{0}; }
// The one 64-bit value the plug-in hands back: a game text, whole.
inline std::uint64_t encode(std::uint64_t textHandle) { return textHandle; }
// A double or a signed 64-bit value here is a slip: the game takes 32-bit floats and values.
std::uint64_t encode(double) = delete;
std::uint64_t encode(std::int64_t) = delete;

template <typename R>
R decode(const std::uint64_t* slot) {
    if constexpr (std::is_same_v<R, std::int32_t>) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(*slot));
    } else if constexpr (std::is_same_v<R, std::uint32_t>) {
        return static_cast<std::uint32_t>(*slot);
    } else if constexpr (std::is_same_v<R, float>) {
        return std::bit_cast<float>(static_cast<std::uint32_t>(*slot));
    } else if constexpr (std::is_same_v<R, std::uint64_t>) {
        return *slot;
    } else {
        static_assert(std::is_same_v<R, Vector3>, "no such result type");
        // Three 32-bit floats, each at the start of its own 8-byte slot.
        unsigned char area[24];
        std::memcpy(area, slot, sizeof area);
        Vector3 v;
        std::memcpy(&v.x, area + 0, 4);
        std::memcpy(&v.y, area + 8, 4);
        std::memcpy(&v.z, area + 16, 4);
        return v;
    }
}

// Each argument goes through the host link's function for its kind, each call through the one
// for its answer.
template <typename T>
EMBERLANE_ALWAYS_INLINE void push(T arg) {
    if constexpr (std::is_same_v<T, const char*>) {
        hostLink.pushText(encode(arg));
    } else if constexpr (std::is_pointer_v<T>) {
        static_assert(sizeof(*arg) == 4, "the game writes 32-bit answers through addresses");
        hostLink.pushOut(encode(arg));
    } else {
        hostLink.push(encode(arg));
    }
}

template <typename R>
EMBERLANE_ALWAYS_INLINE const std::uint64_t* call() {
    if constexpr (std::is_void_v<R>)
        return hostLink.callVoid();
    else if constexpr (std::is_same_v<R, Vector3>)
        return hostLink.callVector();
    else if constexpr (std::is_same_v<R, std::uint64_t>)
        return hostLink.call64();
    else
        return hostLink.call32();
}

} // namespace native

// One game call: the hash, one push per argument in order, the call, the result read at once.
template <typename R = void, typename... Args>
EMBERLANE_ALWAYS_INLINE R invoke(std::uint64_t hash, Args... args) {
    hostLink.init(hash);
    (native::push(args), ...);
    const std::uint64_t* slot = native::call<R>();
    if constexpr (!std::is_void_v<R>) return native::decode<R>(slot);
}

// Hands the frame back to the game: 0 until the next frame, else that many milliseconds.
inline void hostWait(DWORD ms) { hostLink.wait(ms); }

inline Hash hashOf(const char* name) { return invoke<Hash>(op::hashOfName, name); }
inline std::int32_t gameTimer() { return invoke<std::int32_t>(op::gameTimer); }

// Game times and values are 32-bit and wrap as the game's own do: a timer near its top
// plus a delay, or a difference across the wrap, must not overflow.
inline constexpr std::int32_t addWrapping(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline constexpr std::int32_t timeSince(std::int32_t now, std::int32_t then) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) -
                                     static_cast<std::uint32_t>(then));
}

// Queries that several blocks ask, by their role.
inline bool pedUsingScenario(Handle ped, Hash scenario) {
    return isTrue(invoke<std::int32_t>(op::pedUsingScenario, ped, scenario));
}
inline bool pedUsingAnyScenario(Handle ped) {
    return isTrue(invoke<std::int32_t>(op::pedUsingAnyScenario, ped));
}
inline std::int32_t coreValue(Handle ped, std::int32_t core) {
    return invoke<std::int32_t>(op::coreValue, ped, core);
}
inline void setCoreValue(Handle ped, std::int32_t core, std::int32_t value) {
    invoke(op::setCoreValue, ped, core, value);
}
inline bool coreOverpowered(Handle ped) {
    return isTrue(invoke<std::int32_t>(op::coreOverpowered, ped, 1));
}
inline bool controlJustReleased(const char* control) {
    return isTrue(invoke<std::int32_t>(op::controlJustReleased, 0, hashOf(control)));
}
inline bool modelIsHorse(Handle entity) {
    const Hash model = invoke<Hash>(op::entityModel, entity);
    return isTrue(invoke<std::int32_t>(op::modelIsHorse, model));
}

inline Vector3 getEntityCoords(Handle entity) {
    return invoke<Vector3>(op::entityCoords, entity, 1, 0);
}

inline float getDistanceBetweenCoords(float x1, float y1, float z1, float x2, float y2, float z2) {
    return invoke<float>(op::distanceBetweenCoords, x1, y1, z1, x2, y2, z2, 1);
}

inline Handle createScenarioPoint(Hash scenario, float x, float y, float z, float heading) {
    return invoke<Handle>(op::createScenarioPoint, scenario, x, y, z, heading, 0,
                          native::AllBitsSet{}, 1);
}

// The ninth argument is the float with bits 0xCE810000, not -1.0: the game wants it so.
inline constexpr float useScenarioPointNinth = -1082130432.0f;
static_assert(std::bit_cast<std::uint32_t>(useScenarioPointNinth) == 0xCE810000u);

inline void useScenarioPoint(Handle ped, Handle point, std::int32_t duration) {
    invoke(op::useScenarioPoint, ped, point, 0, duration, 1, 0, 0, 1, useScenarioPointNinth, 1);
}

inline void enableCoreOverpower(Handle ped) { invoke(op::enableCoreOverpower, ped, 1, 100.0f, 0); }
