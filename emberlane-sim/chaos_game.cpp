#include "emberlane-sim/chaos_game.h"

#include "emberlane-sim/scene.h"

#include <array>

namespace chaos_game {
namespace {

std::uint64_t next(Game& g) {
    std::uint64_t z = (g.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint32_t below(Game& g, std::uint32_t n) { return static_cast<std::uint32_t>(next(g) % n); }
bool chance(Game& g, std::uint32_t perMille) { return below(g, 1000) < perMille; }

template <typename List>
const auto& pick(Game& g, const List& from) {
    return from[below(g, static_cast<std::uint32_t>(from.size()))];
}

// The scenarios a scene can name: the plug-in's own, and one it never asks for.
const std::vector<std::string>& scenariosOf(bool horse) {
    static const std::vector<std::string> player = scene::namesOf(scene::playerScenarios()),
                                          horses = scene::namesOf(scene::horseScenarios());
    return horse ? horses : player;
}

constexpr std::array<std::uint32_t, 3> hotkeys = {89, 116, 300};

void stirPed(sim::Sim& sim, Game& g, Handle ped, bool isHorse) {
    sim::Entity* e = sim.game.entity(ped);
    if (!e) return;
    if (chance(g, 20)) e->inWater = !e->inWater;
    if (chance(g, 20)) e->still = !e->still;
    if (chance(g, 8)) {
        if (below(g, 3) == 0)
            sim.clearScenario(ped);
        else
            sim.setScenario(ped, pick(g, scenariosOf(isHorse)).c_str());
    }
    for (std::int32_t& core : e->cores)
        if (chance(g, 8))
            core = below(g, 4) == 0 ? static_cast<std::int32_t>(below(g, 101))
                                    : 95 + static_cast<std::int32_t>(below(g, 6));
}

} // namespace

std::string settingsFor(std::uint64_t seed) {
    return "[SETTINGS]\nPROMPTS_HOTKEY=" + std::to_string(hotkeys[seed % hotkeys.size()]) +
           "\nDESTROY_SCENARIO_PROP=" + std::to_string(seed / hotkeys.size() % 2) + "\n";
}

Game begin(sim::Sim& sim, std::uint64_t seed) {
    Game g;
    g.state = seed;
    g.hotkey = hotkeys[seed % hotkeys.size()];
    for (const float x : {103.0f, 107.0f}) g.horses.push_back(sim.spawnHorse(x, 200, 30, 180));
    sim::Entity stranger;
    stranger.model = sim.game.remember("A_C_DOGHUSKY_01");
    stranger.position = {98, 202, 30};
    g.stranger = sim.game.spawn(stranger);
    return g;
}

void stir(sim::Sim& sim, Game& g) {
    sim::Entity& me = sim.me();
    stirPed(sim, g, sim.player, false);
    if (chance(g, 8))
        me.weapon = below(g, 2) ? sim::unarmed : sim.game.remember("WEAPON_REVOLVER_CATTLEMAN");
    if (chance(g, 8)) me.inCombat = !me.inCombat;
    if (chance(g, 5)) me.leadingHorse = !me.leadingHorse;
    if (chance(g, 10)) sim.game.usingKeyboardAndMouse = !sim.game.usingKeyboardAndMouse;

    for (Handle horse : g.horses) {
        stirPed(sim, g, horse, true);
        if (chance(g, 8)) // near enough for the rest command, or not
            sim.game.entity(horse)->position = {me.position.x + static_cast<float>(below(g, 30)),
                                                me.position.y, me.position.z};
    }
    if (chance(g, 15)) {
        const std::uint32_t r = below(g, 100);
        sim.game.target = r < 35   ? 0
                          : r < 85 ? g.horses[r % g.horses.size()]
                          : r < 93 ? g.stranger
                                   : 0x7777; // a handle that names no one
    }

    static const std::vector<std::string> controls = scene::namesOf(scene::controls());
    if (chance(g, 25))
        sim.press(controls[below(g, static_cast<std::uint32_t>(controls.size()))].c_str());
    if (chance(g, 25))
        sim.release(controls[below(g, static_cast<std::uint32_t>(controls.size()))].c_str());
    if (chance(g, 12)) {
        const DWORD key = below(g, 4) ? g.hotkey : below(g, 256);
        sim.pressKey(key);
        sim.releaseKey(key);
    }
    if (chance(g, 40)) {
        const std::vector<std::string> shown = sim.visiblePrompts();
        if (!shown.empty() && below(g, 5))
            sim.complete(shown[below(g, static_cast<std::uint32_t>(shown.size()))].c_str());
        else if (sim.game.runPrompt(sim::promptNames.size() - 1))
            // the game reports a completion the plug-in never offered
            sim.forceCompletion(sim::promptNames[below(g, sim::promptNames.size())]);
    }

    // Now and then the game loads a session: the script starts again, the world goes on.
    if (chance(g, 1)) sim.load(static_cast<int>(below(g, 3)) * 5000);

    // Mostly steady frames; now and then a hitch long enough for any timer to run out.
    const std::uint32_t hitch = below(g, 1000);
    sim.host.frameMs = hitch < 5   ? 1000 + static_cast<int>(below(g, 4000))
                       : hitch < 7 ? 20000 + static_cast<int>(below(g, 10000))
                                   : 33;
}

} // namespace chaos_game
