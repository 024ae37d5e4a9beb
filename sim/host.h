// The stand-in script host: the eight host functions, a game clock, the script run as a
// coroutine the way the real host runs scripts in fibers, and a record of every call. Like the
// real host, it never unwinds the script's stack: at a load of a game session and at unload it
// drops the coroutine where the script waits, and a load starts the script again from its
// first line.
#pragma once

#include "host/host_interface.h"
#include "sim/game.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sim {

struct Call {
    // Start: the host started the script again after a load (no call of the script's own).
    enum Kind : std::uint8_t { Native, Wait, Start };
    Kind kind = Native;
    std::uint8_t argc = 0;
    std::int32_t time = 0;       // game time when it was made
    std::uint64_t hash = 0;      // the native's hash, or the wait in ms
    std::uint64_t args[20] = {}; // more than the plug-in ever pushes, to see what it does then
    std::uint64_t result[3] = {};
};

// Answers a native call in place of the game model (benchmarks use a constant one).
using Responder = void (*)(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                           std::uint64_t result[3]);

struct Host {
    Game game;
    int frameMs = 33;
    std::int32_t startTime = 0; // the game timer at elapsed time 0
    std::int64_t elapsedMs = 0; // the clock itself, never going back
    std::atomic<std::uint32_t> tickCount{0};

    HINSTANCE scriptModule = nullptr;
    void (*script)() = nullptr;
    std::atomic<KeyboardHandler> keyboard{nullptr};
    std::vector<std::string> events;        // registration calls, in order
    std::function<void()> onScriptRegister; // tests look at the world as registration happens

    // The script's run, in its coroutine
    bool started = false;     // the run's coroutine exists
    bool finished = false;    // the run ended on its own: it returned, or a call was refused
    bool inScript = false;    // the script is running now (host code on its stack)
    int runs = 0;             // starts of the script: each load starts it again
    std::int64_t startAt = 0; // no run starts before this time: the loading screen
    DWORD waitMs = 0;
    std::int64_t waitSince = 0;
    std::int64_t waitFrame = 0;
    std::string scriptError;

    // The call protocol
    bool callOpen = false;
    Call current;

    // What was called
    Responder responder = nullptr; // null: the game model answers
    bool checkCalls = true;        // argument layout checked against the native table
    std::uint64_t digest = 0xCBF29CE484222325ull;
    std::uint64_t nativeCalls = 0;
    std::uint64_t sliceNativeCalls = 0; // native calls since the script last resumed
    std::function<void(const Call&)> trace;
    std::function<void(std::uint64_t nativeCallsInSlice)> onSlice;
    std::function<void()>
        afterTick; // the game's own changes of a frame are made, the script's not yet
};

Host& host();
// Back to a fresh host and game (the script must not be running).
void resetHost();

// One game frame: the clock moves on, and the script runs if its wait is over.
// Throws GameError if the script made a malformed call or its run ended.
void runFrame();
bool scriptDue();

// Delivers a key message to the registered handler, from whatever thread calls it.
void sendKey(DWORD key, bool isUp, bool wasDown = false, bool withAlt = false);

// Drops the script's run where it waits, as the real host deletes a script's fiber: its stack
// is freed and nothing on it runs again, no destructor included (also done by
// scriptUnregister).
void dropScript();

// The game loads a session (a save, a new game): the script's run is dropped, what it made in
// the game is released, and the script starts again at the first frame after `loadingMs` of
// loading screen. The world and the clock go on; the module stays loaded.
void loadSession(int loadingMs);

} // namespace sim
