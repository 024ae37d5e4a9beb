// The plug-in's own cost of a pass, measured against the call protocol itself.
//
// Each pass is first played in the stand-in game; its calls and answers are recorded. Then
// the game is replaced by a host that gives the recorded answer of each call by its place in
// the pass (constant time), and two things run side by side: the real plug-in's passes, and a
// bare replay that makes the same calls (same hashes, same arguments) through nativeInit /
// nativePush64 / nativeCall and then scriptWait(0), as a script of the same host. The ratio
// of the two is what the plug-in adds above the protocol.
#include "sim/sim.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<std::uint64_t> allocations{0};

struct Recorded {
    std::vector<sim::Call> calls; // one pass
};

Recorded recorded;
std::size_t position = 0;
std::uint64_t mismatches = 0;

void recordedGame(std::uint64_t hash, const std::uint64_t*, std::size_t, std::uint64_t result[3]) {
    const std::vector<sim::Call>& calls = recorded.calls;
    if (position < calls.size() && calls[position].hash == hash) {
        std::memcpy(result, calls[position].result, sizeof calls[position].result);
    } else {
        ++mismatches;
        result[0] = result[1] = result[2] = 0;
    }
    ++position;
}

// The pass the game plays in each state, recorded from the full game model.
enum class State { Idle, Busy };

void setUp(sim::Sim& sim, State state) {
    sim.frame();
    if (state == State::Busy) {
        // Resting by the fire (the last of the rest scenarios: the whole scan), a horse in
        // water offered its drink, grazing, at full stamina; the player's prompts asked anew.
        const Handle horse = sim.spawnHorse(104, 200, 30, 90);
        sim.game.entity(horse)->inWater = true;
        sim.setScenario(horse, "WORLD_ANIMAL_HORSE_GRAZING_CAMP");
        sim.target(horse);
        sim.setScenario(sim.player, "WORLD_PLAYER_CAMP_FIRE_SIT");
    }
    sim.frame(200); // past every first-time step, into the steady pass
}

Recorded recordPass(State state) {
    sim::Sim sim;
    setUp(sim, state);
    Recorded r;
    sim.startCallLog();
    sim.frame();
    sim.stopCallLog();
    for (const sim::Call& c : sim.rawCalls)
        if (c.kind == sim::Call::Native) r.calls.push_back(c);
    return r;
}

void onSlice(std::uint64_t) { position = 0; }

// The plug-in in that state, now against the answers recorded before (a recording is a
// session of its own, so it comes first).
void againstTheRecord(sim::Sim& sim, State state) {
    setUp(sim, state);
    sim.host.responder = recordedGame;
    sim.host.trace = nullptr;
    sim.host.onSlice = onSlice;
    position = 0;
    mismatches = 0;
}

// The plug-in recording the session (RECORD_SESSION=1), its file kept at `keep` if named.
sim::Options recording(bool on, const std::string& keep = "") {
    sim::Options o;
    if (!on) return o;
    o.ini = sim::withRecording(std::nullopt);
    o.keepRecording = keep;
    return o;
}

void realPass(benchmark::State& st, State state, bool recordingOn = false) {
    recorded = recordPass(state);
    sim::Sim sim(recording(recordingOn));
    againstTheRecord(sim, state);
    sim.frame(10);
    const std::uint64_t calls0 = sim.host.nativeCalls, allocs0 = allocations.load();
    std::uint64_t passes = 0;
    while (st.KeepRunning()) {
        sim.frame();
        ++passes;
    }
    const auto n = static_cast<double>(passes);
    st.counters["native_calls_per_pass"] = static_cast<double>(sim.host.nativeCalls - calls0) / n;
    st.counters["heap_allocations_per_pass"] =
        static_cast<double>(allocations.load() - allocs0) / n;
    st.counters["answers_off_the_record"] = static_cast<double>(mismatches);
}

void replayScript() {
    for (;;) {
        for (const sim::Call& c : recorded.calls) {
            nativeInit(c.hash);
            for (std::uint8_t i = 0; i < c.argc; ++i) nativePush64(c.args[i]);
            benchmark::DoNotOptimize(*nativeCall());
        }
        scriptWait(0);
    }
}

void bareReplay(benchmark::State& st, State state) {
    recorded = recordPass(state);
    sim::resetHost();
    sim::Host& h = sim::host();
    h.responder = recordedGame;
    h.onSlice = onSlice;
    h.script = replayScript;
    while (st.KeepRunning()) sim::runFrame();
    sim::dropScript();
}

void idlePass(benchmark::State& st) { realPass(st, State::Idle); }
void idlePassRecorded(benchmark::State& st) { realPass(st, State::Idle, true); }
void busyPassRecorded(benchmark::State& st) { realPass(st, State::Busy, true); }
void idleReplay(benchmark::State& st) { bareReplay(st, State::Idle); }
void busyPass(benchmark::State& st) { realPass(st, State::Busy); }
void busyReplay(benchmark::State& st) { bareReplay(st, State::Busy); }
BENCHMARK(idlePass);
BENCHMARK(idleReplay);
BENCHMARK(busyPass);
BENCHMARK(busyReplay);
BENCHMARK(idlePassRecorded);
BENCHMARK(busyPassRecorded);

// The stand-in game itself, tracing off: an hour of 60 fps game time.
void gameHour(benchmark::State& st) {
    while (st.KeepRunning()) {
        sim::Options o;
        o.frameMs = 16;
        sim::Sim sim(o);
        setUp(sim, State::Busy);
        sim.host.trace = nullptr;
        for (int i = 0; i < 216000; ++i) sim.frame();
    }
    st.counters["frames_per_second"] = benchmark::Counter(
        216000.0 * static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(gameHour)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

// Counting replacements of the global allocator: they see the plug-in's allocations too,
// because the executable's exported operator new takes precedence over the C++ runtime's.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

// `emberlane-bench --passes N [--busy] [--record FILE]` plays N steady passes and exits: for
// counting instructions per pass under callgrind, and the recording's bytes per pass
// (bench/callgrind-per-pass).
int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--passes") == 0) {
        const long passes = std::atol(argv[2]);
        const State state =
            argc >= 4 && std::strcmp(argv[3], "--busy") == 0 ? State::Busy : State::Idle;
        recorded = recordPass(state);
        const bool record = argc >= 5 && std::strcmp(argv[argc - 2], "--record") == 0;
        sim::Sim sim(recording(record, record ? argv[argc - 1] : ""));
        againstTheRecord(sim, state);
        for (long i = 0; i < passes; ++i) sim.frame();
        return mismatches == 0 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
