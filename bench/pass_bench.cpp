// The plug-in's own cost of a pass, against a host that answers every native in constant time.
#include "sim/sim.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> allocations{0};

void constantGame(std::uint64_t, const std::uint64_t*, std::size_t, std::uint64_t result[3]) {
    result[0] = result[1] = result[2] = 0;
}

void idlePass(benchmark::State& state) {
    sim::Sim sim;
    sim.frame(); // start-up
    sim.host.responder = constantGame;
    sim.host.trace = nullptr;
    sim.frame(10);
    const std::uint64_t callsBefore = sim.host.nativeCalls;
    const std::uint64_t allocationsBefore = allocations.load();
    std::uint64_t passes = 0;
    for (auto _ : state) {
        sim.frame();
        ++passes;
    }
    state.counters["native_calls_per_pass"] =
        static_cast<double>(sim.host.nativeCalls - callsBefore) / static_cast<double>(passes);
    state.counters["allocations_per_pass"] =
        static_cast<double>(allocations.load() - allocationsBefore) / static_cast<double>(passes);
}
BENCHMARK(idlePass);

} // namespace

// Counting replacements of the global allocator: they see the plug-in's allocations too,
// because the executable's exported operator new takes precedence over the C++ runtime's.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

BENCHMARK_MAIN();
