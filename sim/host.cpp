#include "sim/host.h"

#include "sim/coroutine.h"
#include "sim/errors.h"
#include "sim/native_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace sim {
namespace {

Host* theHost = new Host;

// Ends the run from inside the script: back to the host for good, the script's own frames left
// as they are. runFrame then throws `why` as the game's refusal.
[[noreturn]] void dropFromInside(std::string why) {
    Host& h = *theHost;
    h.scriptError = std::move(why);
    h.finished = true;
    coroutine::leave(true);
    std::abort(); // a finished coroutine is never entered again
}

// Host code that runs on the script's stack (a call, a wait): what it throws unwinds the host's
// frames only, and ends the run there, as a crash of the game would.
template <typename Work>
auto onScriptStack(Work&& work) {
    std::string why;
    try {
        return work();
    } catch (const std::exception& e) {
        why = e.what();
    } catch (...) {
        why = "the game threw";
    }
    dropFromInside(std::move(why)); // outside the handler: the exception is freed
}

// Nothing here may own memory while the script runs: a load drops this frame with the rest.
void scriptEntry() {
    std::string why;
    try {
        theHost->script();
        why = "the script returned; it must run for as long as the game runs";
    } catch (const std::exception& e) {
        why = e.what();
    } catch (...) {
        why = "the script threw";
    }
    dropFromInside(std::move(why));
}

void record(Host& h, const Call& c, const NativeInfo* info = nullptr);

void startRun(Host& h) {
    h.started = true;
    if (h.runs++ > 0) { // told, so that a reader of the calls sees where the new run begins
        Call c;
        c.kind = Call::Start;
        c.time = h.game.now;
        record(h, c);
    }
    coroutine::start(scriptEntry);
}

void resume() {
    Host& h = *theHost;
    if (!h.started) startRun(h);
    h.sliceNativeCalls = 0;
    h.inScript = true;
    coroutine::enter();
    h.inScript = false;
    if (h.onSlice) h.onSlice(h.sliceNativeCalls);
    if (h.finished) {
        coroutine::finish();
        if (!h.scriptError.empty()) throw GameError(h.scriptError);
    }
}

// A malformed call or a call out of place: inside the script it ends the run where it stands.
[[noreturn]] void fail(const char* what) {
    if (theHost->inScript) dropFromInside(what);
    throw GameError(what);
}

// The digest of a run: every call with its arguments and result, addresses read as what
// they point to (where the module and its stack lie changes from load to load).
void record(Host& h, const Call& c, const NativeInfo* info) {
    ++h.nativeCalls;
    ++h.sliceNativeCalls;
    auto mix = [&h](std::uint64_t v) {
        h.digest ^= v;
        h.digest *= 0x100000001B3ull;
    };
    mix(c.kind);
    mix(c.hash);
    for (std::uint8_t i = 0; i < c.argc; ++i) {
        const char kind = info && i < std::strlen(info->args) ? info->args[i] : 'a';
        if (kind == 's')
            mix(c.args[i] ? joaat(reinterpret_cast<const char*>(c.args[i])) : 0);
        else if (kind != 'p')
            mix(c.args[i]);
    }
    mix(c.result[0]);
    if (h.trace) h.trace(c);
}

bool isAddressKind(char kind) { return kind == 's' || kind == 'p'; }

void checkCall(const Call& c, const NativeInfo& info) {
    const std::size_t expected = std::strlen(info.args);
    char where[160];
    if (c.argc != expected) {
        std::snprintf(where, sizeof where, "%s takes %zu arguments, was pushed %u", info.name,
                      expected, unsigned{c.argc});
        fail(where);
    }
    for (std::size_t i = 0; i < expected; ++i) {
        const char kind = info.args[i];
        const std::uint64_t v = c.args[i];
        const bool ok = kind == 'a' || kind == 't' || isAddressKind(kind) ? (kind != 'p' || v != 0)
                        : kind == 'b'                                     ? v <= 1
                                                                          : (v >> 32) == 0;
        if (!ok) {
            std::snprintf(where, sizeof where, "%s argument %zu badly encoded: 0x%016llX",
                          info.name, i + 1, static_cast<unsigned long long>(v));
            fail(where);
        }
    }
}

} // namespace

Host& host() { return *theHost; }

void resetHost() {
    if (theHost->inScript) fail("host reset from inside the script");
    delete theHost;
    theHost = new Host;
    coroutine::finish();
}

bool scriptDue() {
    const Host& h = *theHost;
    if (!h.script || h.finished) return false;
    if (!h.started) return h.elapsedMs >= h.startAt;
    if (h.waitMs == 0) return h.game.frame > h.waitFrame;
    return h.elapsedMs - h.waitSince >= static_cast<std::int64_t>(h.waitMs);
}

void runFrame() {
    Host& h = *theHost;
    h.elapsedMs += h.frameMs;
    h.game.now = static_cast<std::int32_t>(static_cast<std::uint32_t>(h.startTime) +
                                           static_cast<std::uint32_t>(h.elapsedMs));
    h.tickCount.store(h.game.tickBase + static_cast<std::uint32_t>(h.elapsedMs),
                      std::memory_order_relaxed);
    ++h.game.frame;
    h.game.tick();
    if (h.afterTick) h.afterTick();
    if (scriptDue()) resume();
}

void sendKey(DWORD key, bool isUp, bool wasDown, bool withAlt) {
    if (KeyboardHandler handler = theHost->keyboard.load())
        handler(key, 1, 0, FALSE, withAlt ? TRUE : FALSE, wasDown ? TRUE : FALSE,
                isUp ? TRUE : FALSE);
}

void dropScript() {
    Host& h = *theHost;
    if (h.inScript) fail("the script dropped from inside itself");
    if (h.started) coroutine::finish();
    h.started = h.finished = false;
    h.scriptError.clear();
    h.waitMs = 0;
}

void loadSession(int loadingMs) {
    Host& h = *theHost;
    if (h.inScript) fail("a session loaded from inside the script");
    dropScript();
    h.game.releaseRun();
    h.startAt = h.elapsedMs + loadingMs;
}

} // namespace sim

using sim::fail;

extern "C" {

void scriptRegister(HINSTANCE module, void (*script)()) {
    sim::Host& h = sim::host();
    h.events.push_back("scriptRegister");
    h.scriptModule = module;
    h.script = script;
    if (h.onScriptRegister) h.onScriptRegister();
}

void scriptUnregister(HINSTANCE module) {
    sim::Host& h = sim::host();
    h.events.push_back("scriptUnregister");
    if (module != h.scriptModule) return;
    sim::dropScript();
    h.script = nullptr;
}

void keyboardHandlerRegister(KeyboardHandler handler) {
    sim::host().events.push_back("keyboardHandlerRegister");
    sim::host().keyboard.store(handler);
}

void keyboardHandlerUnregister(KeyboardHandler handler) {
    sim::Host& h = sim::host();
    h.events.push_back("keyboardHandlerUnregister");
    if (h.keyboard.load() == handler) h.keyboard.store(nullptr);
}

void scriptWait(DWORD ms) {
    sim::Host& h = sim::host();
    if (!h.inScript) fail("scriptWait outside the script");
    sim::Call c;
    c.kind = sim::Call::Wait;
    c.time = h.game.now;
    c.hash = ms;
    sim::onScriptStack([&] { sim::record(h, c); });
    h.waitMs = ms;
    h.waitSince = h.elapsedMs;
    h.waitFrame = h.game.frame;
    sim::coroutine::leave(false);
}

void nativeInit(std::uint64_t hash) {
    sim::Host& h = sim::host();
    if (!h.inScript) fail("native call outside the script");
    if (h.callOpen) fail("nativeInit before the previous native was called");
    h.current = sim::Call{};
    // Poison the last result: the protocol reads it at once, before the next call.
    std::memset(h.current.result, 0xA5, sizeof h.current.result);
    h.current.hash = hash;
    h.current.time = h.game.now;
    h.callOpen = true;
}

void nativePush64(std::uint64_t value) {
    sim::Host& h = sim::host();
    if (!h.callOpen) fail("nativePush64 without nativeInit");
    if (h.current.argc == std::size(h.current.args)) fail("too many native arguments");
    h.current.args[h.current.argc++] = value;
}

std::uint64_t* nativeCall() {
    sim::Host& h = sim::host();
    if (!h.callOpen) fail("nativeCall without nativeInit");
    h.callOpen = false;
    sim::Call& c = h.current;
    return sim::onScriptStack([&] {
        if (h.responder) {
            h.responder(c.hash, c.args, c.argc, c.result);
            sim::record(h, c);
            return c.result;
        }
        const sim::NativeInfo* info = sim::findNative(c.hash);
        if (!info) {
            char what[80];
            std::snprintf(what, sizeof what, "unknown native 0x%016llX",
                          static_cast<unsigned long long>(c.hash));
            fail(what);
        }
        if (h.checkCalls) sim::checkCall(c, *info);
        sim::answer(h.game, c.hash, c.args, c.argc, c.result);
        sim::record(h, c, info);
        return c.result;
    });
}

} // extern "C"
