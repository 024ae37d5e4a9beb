// emberlane-sim: plays the plug-in in the stand-in game and prints what the player would see.
#include "sim/errors.h"
#include "sim/sim.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Timeline {
    sim::Sim& sim;
    std::vector<std::string> shownBefore;
    std::string playerScenario;

    void note(const char* what, const std::string& detail) {
        std::printf("%8.3f s  %-18s %s\n", (sim.host.elapsedMs) / 1000.0, what, detail.c_str());
    }

    std::string labelOf(const std::string& prompt) {
        const std::string& label = sim.prompt(prompt.c_str()).label;
        return label.empty() ? prompt : "\"" + label + "\" (" + prompt + ")";
    }

    // What changed on screen since the last frame.
    void look() {
        const std::vector<std::string> shown = sim.visiblePrompts();
        for (const std::string& p : shown)
            if (std::find(shownBefore.begin(), shownBefore.end(), p) == shownBefore.end())
                note("prompt shown", labelOf(p));
        for (const std::string& p : shownBefore)
            if (std::find(shown.begin(), shown.end(), p) == shown.end())
                note("prompt hidden", labelOf(p));
        shownBefore = shown;
        const std::string scenario = sim.scenarioOf(sim.player);
        if (scenario != playerScenario)
            note(scenario.empty() ? "scenario ended" : "scenario started",
                 scenario.empty() ? playerScenario : scenario);
        playerScenario = scenario;
    }

    void play(int ms) {
        const std::int64_t until = sim.host.elapsedMs + ms;
        while (sim.host.elapsedMs < until) {
            sim.frame();
            look();
        }
    }
};

int usage() {
    std::fprintf(stderr, "usage: emberlane-sim [--plugin PATH] [--frame-ms N]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    sim::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plugin" && i + 1 < argc)
            options.plugin = argv[++i];
        else if (arg == "--frame-ms" && i + 1 < argc)
            options.frameMs = std::atoi(argv[++i]);
        else
            return usage();
    }
    if (options.frameMs <= 0) return usage();
    options.dat =
        "WASH=Wash your face\nSIT_GROUND=Sit on the ground\nSIT=Sit and rest\n"
        "SMOKE_MENU=Smoke\nCIGAR=Cigar\nSMOKE=Cigarette\nHORSE_DRINK=Let the horse drink\n"
        "MENU=Rest\nDRINK=Drink\nCLOSE=Close\n";
    try {
        sim::Sim sim(options);
        Timeline timeline{sim, {}, {}};
        std::uint64_t passes = 0;
        sim.host.onSlice = [&passes](std::uint64_t) { ++passes; };

        timeline.note("game", "the plug-in is loaded; the player stands on land");
        timeline.play(1000);
        timeline.note("player", "wades into the river and stands still");
        sim.wadeIntoWater();
        timeline.play(1000);
        timeline.note("player", "draws a revolver");
        sim.drawWeapon();
        timeline.play(500);
        sim.holster();
        sim.wadeOutOfWater();
        timeline.note("player", "holsters and walks out of the water");
        timeline.play(1000);

        std::printf("\n%llu slices, %.1f s of game time, %llu native calls\n",
                    static_cast<unsigned long long>(passes), sim.host.elapsedMs / 1000.0,
                    static_cast<unsigned long long>(sim.host.nativeCalls));
    } catch (const sim::GameError& e) {
        std::fprintf(stderr, "emberlane-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
