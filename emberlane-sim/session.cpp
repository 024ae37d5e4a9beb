#include "emberlane-sim/session.h"

#include "emberlane-sim/keys.h"
#include "emberlane-sim/passes.h"
#include "emberlane-sim/settings_file.h"
#include "emberlane-sim/timeline.h"
#include "host/native_hashes.h"
#include "sim/errors.h"
#include "sim/native_table.h"
#include "sim/printable.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace session {
namespace {

using observer::Cause;

// One game of a scene in the stand-in game, watched: its world after each scene line, after
// the game's own tick and after each call of the plug-in that sets something, so that no
// change is folded into another's; its screen at each frame.
struct ScenePlay {
    const Settings& settings;
    sim::Sim sim;
    keys::Hotkey hotkey;
    Cast cast;
    observer::Observer seen;
    std::vector<int> washEffects; // each one of the cast's, as the last frame left them
    passes::Counter counter;
    std::uint64_t passCalls = 0;
    // A release of the hotkey's key that the plug-in's hotkey test has not looked at yet: its
    // tick count, the scene's line that made it, and whether the script waited inside a pass
    // since.
    struct Release {
        std::uint32_t tick;
        std::size_t line;
        bool waited;
    };
    std::optional<Release> release;

    explicit ScenePlay(const Settings& s)
        : settings(s), sim(s.options), hotkey(settings_file::read(s.options.ini).hotkey),
          cast(castOf(sim)) {
        sim.trace = [this](const sim::Call& c) { onCall(c); };
        sim.host.afterTick = [this] { look(Cause::Game); };
    }
    ~ScenePlay() {
        sim.trace = nullptr;
        sim.host.afterTick = nullptr;
    }
    ScenePlay(const ScenePlay&) = delete;
    ScenePlay& operator=(const ScenePlay&) = delete;

    std::int64_t now() const { return sim.host.elapsedMs; }

    void look(Cause cause) {
        seen.now = now();
        observeWorld(sim, cast, seen, cause);
    }

    void onCall(const sim::Call& c) {
        if (settings.trace)
            std::printf("%s    %s\n", timeline::clock(now()).c_str(),
                        sim.describe(c, true).c_str());
        seen.now = now();
        if (c.kind == sim::Call::Wait) {
            seen.scriptWaits(static_cast<std::uint32_t>(c.hash));
            counter.take(c);
            if (release) testLooked();
            return;
        }
        if (c.kind == sim::Call::Start) { // a load cut the pass under way
            if (passCalls && counter.number > 0) seen.history.callsPerPass.push_back(passCalls);
            passCalls = 0;
            counter.take(c);
            return;
        }
        const int easeWaits = counter.easeWaits;
        if (counter.take(c)) {
            // the start-up's calls are no pass's
            if (!counter.firstOfRun) seen.history.callsPerPass.push_back(passCalls);
            passCalls = 0;
            // told when the pass after the easing begins, with the frames it took
            if (easeWaits) seen.scriptEases(easeWaits);
        }
        ++passCalls;
        const sim::NativeInfo* info = sim::findNative(c.hash);
        if (info && info->result == 'v') look(Cause::Plugin);
    }

    // What is on screen when a frame is drawn: the prompts, and a face wash under way.
    void lookAtTheScreen() {
        seen.now = now();
        observeScreen(sim, seen);
        washEffects.resize(cast.size(), 0);
        for (std::size_t i = 0; i < cast.size(); ++i) {
            const sim::Entity* e = sim.game.entity(cast[i].second);
            if (!e) continue;
            seen.washing(cast[i].first, e->faceWashEffects != washEffects[i]);
            washEffects[i] = e->faceWashEffects;
        }
    }

    // The hotkey test runs in the last slice of each pass, the one that the frame's own wait
    // ends: a release it did not take there it never takes. The scene's line says why.
    void testLooked() {
        if (!counter.ended) {
            release->waited = true;
            return;
        }
        unseen(keys::unseen(release->tick, sim.host.tickCount, release->waited));
    }

    void unseen(const std::string& why) {
        if (!why.empty() && release->line < seen.history.events.size())
            seen.history.events[release->line].detail += "  (" + why + ")";
        release.reset();
    }

    // `line`: where the timeline holds the scene's line.
    void apply(const scene::Step& s, std::size_t line) {
        perform(sim, cast, s, hotkey);
        if (s.action == scene::Action::Load) seen.sessionLoads(s.value, Cause::Scene);
        look(Cause::Scene);
        if (s.action != scene::Action::Key || (s.hotkey ? hotkey.code : s.key.code) != hotkey.code)
            return;
        // The key's record keeps its last message alone.
        if (release)
            unseen(release->waited ? "not seen: the script was waiting"
                                   : "not seen: a later release took its place");
        // Between frames the script is in a wait: inside a pass unless the pass has ended.
        release = Release{sim.host.tickCount, line, counter.number > 0 && !counter.ended};
    }

    void playUntil(std::int64_t ms) {
        while (now() < ms) {
            sim.frame();
            lookAtTheScreen();
        }
    }

    // Closes what is still open, so the history reads whole.
    void finish() {
        if (passCalls) seen.history.callsPerPass.push_back(passCalls);
        passCalls = 0;
        seen.now = now();
        seen.finish();
        if (settings.printEvents) std::fputs(timeline::text(seen.history).c_str(), stdout);
    }
};

} // namespace

Cast castOf(const sim::Sim& sim) { return {{"player", sim.player}}; }

void observeWorld(const sim::Sim& sim, const Cast& cast, observer::Observer& seen, Cause cause) {
    for (const auto& [who, handle] : cast) {
        const sim::Entity* e = sim.game.entity(handle);
        if (!e) continue;
        seen.meet(who);
        seen.scenario(who, e->scenario ? sim.game.nameOf(e->scenario) : "", cause);
        for (int core = 0; core < 2; ++core) seen.core(who, core, e->cores[core], cause);
        seen.propsDiscarded(who, e->propsDiscarded, cause);
        seen.overpowered(who, e->overpowered, cause);
        seen.points(who, e->attributePoints13, cause);
    }
}

void observeScreen(const sim::Sim& sim, observer::Observer& seen) {
    std::vector<observer::OnScreen> shown;
    for (std::size_t i = 0; i < sim::promptNames.size(); ++i)
        if (const sim::Prompt* p = sim.game.runPrompt(i); p && p->enabled && p->visible)
            shown.push_back({sim::promptNames[i], sim::printable(p->label)}); // Emberlane.dat's
    seen.screen(shown);
}

observer::Sight sightOf(const sim::Sim& sim, const Cast& cast) {
    observer::Observer seen;
    seen.now = sim.host.elapsedMs;
    observeWorld(sim, cast, seen, Cause::Game);
    observeScreen(sim, seen);
    return seen.sight();
}

namespace {

// A scene line being done: the game, who is in it, the line, the hotkey the settings name.
struct Doing {
    sim::Sim& sim;
    Cast& cast;
    const scene::Step& s;
    const keys::Hotkey& hotkey;

    Handle named(const std::string& name) const {
        for (const auto& [who, handle] : cast)
            if (who == name) return handle;
        throw sim::GameError("no one named " + name);
    }
    sim::Entity& subject() const { return *sim.game.entity(named(s.subject)); }
};

void pressKey(const Doing& d) {
    const keys::Hotkey key = d.s.hotkey ? d.hotkey : d.s.key;
    if (d.s.hotkey && !keys::keyboardSends(key.code))
        throw sim::GameError("the settings turn the hotkey off: no key to press");
    d.sim.pressKeys(key.code, key.modifiers);
}

// What each kind of line does in the stand-in game.
using scene::Action;
constexpr std::pair<Action, void (*)(const Doing&)> doings[] = {
    {Action::Stand, [](const Doing& d) { d.sim.standAt(d.s.x, d.s.y, d.s.z, d.s.heading); }},
    {Action::WadeIn, [](const Doing& d) { d.subject().inWater = true; }},
    {Action::WadeOut, [](const Doing& d) { d.subject().inWater = false; }},
    {Action::Walk, [](const Doing& d) { d.sim.walk(); }},
    {Action::StandStill, [](const Doing& d) { d.sim.standStill(); }},
    {Action::Draw, [](const Doing& d) { d.sim.drawWeapon(d.s.subject.c_str()); }},
    {Action::Holster, [](const Doing& d) { d.sim.holster(); }},
    {Action::CombatStart, [](const Doing& d) { d.sim.startCombat(); }},
    {Action::CombatStop, [](const Doing& d) { d.sim.stopCombat(); }},
    {Action::Press, [](const Doing& d) { d.sim.press(d.s.subject.c_str()); }},
    {Action::Release, [](const Doing& d) { d.sim.release(d.s.subject.c_str()); }},
    {Action::Key, pressKey},
    {Action::KeyboardOn, [](const Doing& d) { d.sim.game.usingKeyboardAndMouse = true; }},
    {Action::KeyboardOff, [](const Doing& d) { d.sim.game.usingKeyboardAndMouse = false; }},
    {Action::Complete, [](const Doing& d) { d.sim.complete(d.s.subject.c_str()); }},
    {Action::Horse,
     [](const Doing& d) {
         d.cast.emplace_back(d.s.subject, d.sim.spawnHorse(d.s.x, d.s.y, d.s.z, d.s.heading));
     }},
    {Action::Target, [](const Doing& d) { d.sim.target(d.named(d.s.subject)); }},
    {Action::TargetNone, [](const Doing& d) { d.sim.stopTargeting(); }},
    {Action::Scenario,
     [](const Doing& d) { d.sim.setScenario(d.named(d.s.subject), d.s.name.c_str()); }},
    {Action::ScenarioNone, [](const Doing& d) { d.sim.clearScenario(d.named(d.s.subject)); }},
    {Action::Core,
     [](const Doing& d) {
         d.subject().cores[d.s.name == "health" ? 0 : 1] = std::clamp(d.s.value, 0, 100);
     }},
    {Action::Language, [](const Doing& d) { d.sim.game.language = d.s.value; }},
    {Action::Load, [](const Doing& d) { d.sim.load(d.s.value); }},
    {Action::End, [](const Doing&) {}},
};

} // namespace

void perform(sim::Sim& sim, Cast& cast, const scene::Step& s, const keys::Hotkey& hotkey) {
    for (const auto& [action, doIt] : doings)
        if (action == s.action) return doIt(Doing{sim, cast, s, hotkey});
}

observer::History play(const scene::Scene& scene, const Settings& settings) {
    ScenePlay g(settings);
    try {
        g.look(Cause::Scene);
        g.lookAtTheScreen();
        for (const scene::Step& step : scene.steps) {
            g.playUntil(step.atMs);
            if (step.action == scene::Action::End) break;
            g.seen.now = g.now();
            const std::size_t line = g.seen.history.events.size();
            g.seen.sceneLine(step.text);
            try {
                g.apply(step, line);
            } catch (const sim::GameError& e) { // the line that asked for it, as a file's
                throw sim::GameError(scene.file + ":" + std::to_string(step.line) + ": " +
                                     e.what());
            }
        }
    } catch (const sim::GameError&) {
        g.finish(); // what happened up to the refusal
        throw;
    }
    g.finish();
    g.seen.history.pointsLeft = g.sim.game.pointsLeftUndeleted();
    g.seen.history.digest = g.sim.host.digest;
    return std::move(g.seen.history);
}

} // namespace session
