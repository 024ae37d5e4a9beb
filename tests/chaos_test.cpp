// A million passes against a game that answers anything, while keys arrive from another
// thread and the game loads a session now and then: no crash, no sanitizer report, no growth
// of the heap. CI runs a shorter soak; EMBERLANE_CHAOS_PASSES=1000000 runs the long one.
#include "play.h"
#include "sim/chaos.h"

#include <atomic>
#include <cstdlib>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define CHAOS_ASAN 1
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CHAOS_ASAN 1
#endif
#endif
#ifdef CHAOS_ASAN
// From the sanitizer runtime (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

std::size_t heapInUse() {
#ifdef CHAOS_ASAN
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

long passesWanted() {
    const char* text = std::getenv("EMBERLANE_CHAOS_PASSES");
    const long n = text ? std::atol(text) : 0;
    return n > 0 ? n : 100000;
}

} // namespace

TEST(Chaos, AnythingTheGameAnswersNeitherCrashesNorHangsNorGrowsTheHeap) {
    Sim sim;
    sim.frame(); // start-up against the real model, then chaos from the first pass on
    sim::chaos::seed(20261208);
    sim.host.responder = sim::chaos::respond;
    std::atomic<bool> stop{false};
    std::thread keys([&] {
        while (!stop) {
            const std::uint64_t r = sim::chaos::next();
            sim::sendKey(static_cast<DWORD>(r), (r >> 32) & 1, (r >> 33) & 1, (r >> 34) & 1);
        }
    });
    const long passes = passesWanted();
    std::uint64_t slices = 0;
    sim.host.onSlice = [&slices](std::uint64_t) { ++slices; };
    std::size_t heapAfterWarmUp = 0;
    std::uint64_t frames = 0;
    while (slices < static_cast<std::uint64_t>(passes)) { // counted by the host, at each slice
        if (++frames % 1000 == 0) sim.load(static_cast<int>(sim::chaos::next() % 3) * 1000);
        sim.frame();
        if (!heapAfterWarmUp && slices >= 1000) heapAfterWarmUp = heapInUse();
    }
    stop = true;
    keys.join();
    EXPECT_LE(heapInUse(), heapAfterWarmUp + 4096);
    // No endless wait: a pass waits at most 3000 + 2000 ms and eleven easing frames, so the
    // script comes back at least once in every 6 s of game time however the game answers.
    EXPECT_GE(slices, static_cast<std::uint64_t>(sim.host.elapsedMs / 6000));
    EXPECT_FALSE(sim.host.finished);
    EXPECT_GT(sim.host.runs, 1);
}

TEST(Load, AThousandLoadsLeaveTheHeapAsTheFirstLeftIt) {
    sim::Options o;
    // Labels longer than a string holds in place: each run's texts are on the heap.
    o.dat = "washFace=Wash your face in the cold water of the river\n"
            "sitGround=Sit down on the ground for a while and rest\n";
    Sim sim(o);
    // The plug-in alone is weighed: the game model keeps each run's prompts, a game's own.
    sim.host.responder = [](std::uint64_t, const std::uint64_t*, std::size_t,
                            std::uint64_t result[3]) { result[0] = result[1] = result[2] = 0; };
    sim.frame(3);
    sim.load(0);
    sim.frame(3);
    const std::size_t afterFirstLoad = heapInUse();
    for (int load = 0; load < 1000; ++load) {
        sim.load(0);
        sim.frame(3);
    }
    EXPECT_EQ(sim.host.runs, 1002);
    EXPECT_LE(heapInUse(), afterFirstLoad + 4096);
}

TEST(Reload, LoadRunUnloadAgainAndAgainStartsFreshEachTime) {
    for (int load = 0; load < 25; ++load) {
        Sim sim;
        sim.frame();
        // Fresh key table: a release left from the last load does not open the menu.
        if (load > 0) {
            sim.frame();
            EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
        }
        // Fresh ease value: the first activation eases in from 3.5 again.
        openRestMenu(sim);
        sim.complete("sitActivityPrompt");
        sim.frame();
        EXPECT_EQ(countOf(callsOf(sim, 12), "SET_THIRD_PERSON"), 12);
        sim.releaseKey(89);
        sim.unload();
        EXPECT_THAT(sim.host.events, ElementsAre("scriptRegister", "keyboardHandlerRegister",
                                                 "scriptUnregister", "keyboardHandlerUnregister"));
        EXPECT_TRUE(sim::lastUnloadComplete);
    }
}
