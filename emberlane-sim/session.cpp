#include "emberlane-sim/session.h"

#include "emberlane-sim/passes.h"
#include "emberlane-sim/timeline.h"
#include "host/native_hashes.h"
#include "sim/errors.h"
#include "sim/native_table.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace session {
namespace {

struct Watched {
    std::string name; // "player" or a horse's name
    Handle handle;
    bool known = false; // its state was taken once; later differences are changes
    Hash scenario = 0;
    std::int64_t scenarioSince = 0;
    std::int32_t cores[2] = {0, 0};
    std::int32_t points = 0;
    int propsDiscarded = 0;
    bool overpowered = false;
    int washEffects = 0;
    bool washing = false;
};

Watched watch(std::string name, Handle handle) {
    Watched w;
    w.name = std::move(name);
    w.handle = handle;
    return w;
}

constexpr const char* coreNames[2] = {"health", "stamina"};

struct Player {
    const Settings& settings;
    sim::Sim sim;
    Record record;
    Cast cast;
    std::vector<Watched> watched;
    std::vector<std::string> shown;
    std::map<std::string, std::int64_t> shownSince;
    CoreRuns runs;
    passes::Counter counter;
    std::uint64_t passCalls = 0;

    explicit Player(const Settings& s) : settings(s), sim(s.options), cast(castOf(sim)) {
        watched.push_back(watch("player", sim.player));
        sim.trace = [this](const sim::Call& c) { onCall(c); };
        sim.host.afterTick = [this] { lookAtTheWorld(Cause::Game); };
    }
    ~Player() {
        sim.trace = nullptr;
        sim.host.afterTick = nullptr;
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    std::int64_t now() const { return sim.host.elapsedMs; }

    void note(std::string what, std::string detail, Cause cause = Cause::Plugin,
              std::int64_t at = -1) {
        record.events.push_back({at < 0 ? now() : at, std::move(what), std::move(detail), cause});
    }

    // Scenarios, cores, points, props and overpowers, noted as changes of `cause`: the
    // world is looked at after each scene line, after the game's own tick, and after each
    // call of the plug-in that sets something, so no change is folded into another's.
    void lookAtTheWorld(Cause cause) {
        for (Watched& w : watched) {
            const sim::Entity* e = sim.game.entity(w.handle);
            if (!e) continue;
            if (!w.known) {
                w.known = true;
                w.scenario = e->scenario;
                w.scenarioSince = now();
                std::copy(std::begin(e->cores), std::end(e->cores), w.cores);
                w.points = e->attributePoints13;
                w.propsDiscarded = e->propsDiscarded;
                w.overpowered = e->overpowered;
                w.washEffects = e->faceWashEffects;
                for (int i = 0; i < 2; ++i)
                    record.samples.push_back({now(), w.name + " " + coreNames[i], e->cores[i]});
                continue;
            }
            if (e->scenario != w.scenario) {
                if (w.scenario) {
                    note(w.name + " ends", sim.game.nameOf(w.scenario), cause);
                    record.spans.push_back({w.name + " scenario", sim.game.nameOf(w.scenario),
                                            w.scenarioSince, now()});
                }
                if (e->scenario) note(w.name + " starts", sim.game.nameOf(e->scenario), cause);
                w.scenario = e->scenario;
                w.scenarioSince = now();
            }
            for (int i = 0; i < 2; ++i)
                if (e->cores[i] != w.cores[i]) {
                    const std::string series = w.name + " " + coreNames[i];
                    runs.changed(record, now(), series, w.cores[i], e->cores[i], cause);
                    w.cores[i] = e->cores[i];
                    record.samples.push_back({now(), series, e->cores[i]});
                }
            if (e->propsDiscarded != w.propsDiscarded) {
                note(w.name + " props", "the held prop is discarded", cause);
                record.marks.push_back({Mark::PropDiscard, now(), 0, w.name + "'s prop discarded"});
            }
            w.propsDiscarded = e->propsDiscarded;
            if (e->overpowered != w.overpowered)
                note(w.name + " stamina", e->overpowered ? "overpowered" : "overpower worn off",
                     cause);
            w.overpowered = e->overpowered;
            if (w.name != "player" && e->attributePoints13 != w.points)
                note(w.name + " points",
                     std::to_string(w.points) + " -> " + std::to_string(e->attributePoints13),
                     cause);
            w.points = e->attributePoints13;
        }
    }

    void onCall(const sim::Call& c) {
        if (settings.trace)
            std::printf("%s    %s\n", timeline::clock(now()).c_str(),
                        sim.describe(c, true).c_str());
        if (c.kind == sim::Call::Wait) {
            if (c.hash > 0) {
                note("script waits", std::to_string(c.hash) + " ms inside the pass");
                record.marks.push_back({Mark::Wait, now(), static_cast<std::int64_t>(c.hash),
                                        "the script waits " + std::to_string(c.hash) + " ms"});
            }
            counter.take(c);
            return;
        }
        const int easeWaits = counter.easeWaits;
        if (counter.take(c)) {
            // the start-up's calls are no pass's
            if (counter.number > 1) record.callsPerPass.push_back(passCalls);
            passCalls = 0;
            // noted when the pass after the easing begins, with the frames it took
            if (easeWaits)
                note("script eases", "the camera in over " + std::to_string(easeWaits) + " frames");
        }
        ++passCalls;
        const sim::NativeInfo* info = sim::findNative(c.hash);
        if (info && info->result == 'v') lookAtTheWorld(Cause::Plugin);
    }

    std::string labelOf(const std::string& prompt) {
        const std::string& label = sim.prompt(prompt.c_str()).label;
        return label.empty() ? prompt : "\"" + label + "\"";
    }

    // What is on screen when a frame is drawn: the prompts, and a face wash under way.
    void lookAtTheScreen() {
        const std::vector<std::string> nowShown = sim.visiblePrompts();
        for (const std::string& p : nowShown)
            if (std::find(shown.begin(), shown.end(), p) == shown.end()) {
                note("prompt shown", labelOf(p) + "  (" + p + ")");
                shownSince[p] = now();
            }
        for (const std::string& p : shown)
            if (std::find(nowShown.begin(), nowShown.end(), p) == nowShown.end()) {
                note("prompt hidden", labelOf(p) + "  (" + p + ")");
                record.spans.push_back({p, labelOf(p), shownSince[p], now()});
            }
        shown = nowShown;
        for (Watched& w : watched) {
            const sim::Entity* e = sim.game.entity(w.handle);
            if (!e) continue;
            const bool washing = e->faceWashEffects != w.washEffects;
            if (washing && !w.washing)
                note(w.name + " washes", "the face-wash effect runs each pass");
            w.washing = washing;
            w.washEffects = e->faceWashEffects;
        }
    }

    void apply(const scene::Step& s) {
        perform(sim, cast, s);
        if (s.action == scene::Action::Horse)
            watched.push_back(watch(cast.back().first, cast.back().second));
        lookAtTheWorld(Cause::Scene);
    }

    void playUntil(std::int64_t ms) {
        while (now() < ms) {
            sim.frame();
            lookAtTheScreen();
        }
    }

    // Closes what is still open, so the record reads whole.
    void finish() {
        if (passCalls) record.callsPerPass.push_back(passCalls);
        passCalls = 0;
        runs.closeAll(record);
        std::stable_sort(record.events.begin(), record.events.end(),
                         [](const Event& a, const Event& b) { return a.ms < b.ms; });
        if (settings.printEvents) std::fputs(timeline::text(record).c_str(), stdout);
    }
};

} // namespace

namespace {
void closeRun(Record& record, const std::string& series, CoreRuns::Run& r) {
    if (!r.open) return;
    std::string detail = std::to_string(r.from) + " -> " + std::to_string(r.to);
    if (r.to - r.from > 1) detail += ", a point at a time until " + timeline::clock(r.last);
    record.events.push_back({r.since, series, detail, Cause::Plugin});
    r.open = false;
}
} // namespace

void CoreRuns::changed(Record& record, std::int64_t now, const std::string& series,
                       std::int32_t from, std::int32_t to, Cause cause) {
    Run& r = runs[series];
    if (cause != Cause::Plugin || to != from + 1) { // set at once: a line of its own
        closeRun(record, series, r);
        record.events.push_back(
            {now, series, std::to_string(from) + " -> " + std::to_string(to), cause});
        return;
    }
    // A refill that pauses longer than its slowest interval (3000 ms) begins a new line.
    if (r.open && from == r.to && now - r.last <= 3100) {
        r.to = to;
        r.last = now;
        return;
    }
    closeRun(record, series, r);
    r = {true, from, to, now, now};
}

void CoreRuns::closeAll(Record& record) {
    for (auto& [series, run] : runs) closeRun(record, series, run);
}

Cast castOf(const sim::Sim& sim) { return {{"player", sim.player}}; }

void perform(sim::Sim& sim, Cast& cast, const scene::Step& s) {
    auto named = [&cast](const std::string& name) {
        for (const auto& [who, handle] : cast)
            if (who == name) return handle;
        throw sim::GameError("no one named " + name);
    };
    using scene::Action;
    switch (s.action) {
    case Action::Stand:
        sim.standAt(s.x, s.y, s.z, s.heading);
        break;
    case Action::WadeIn:
        sim.game.entity(named(s.subject))->inWater = true;
        break;
    case Action::WadeOut:
        sim.game.entity(named(s.subject))->inWater = false;
        break;
    case Action::Walk:
        sim.walk();
        break;
    case Action::StandStill:
        sim.standStill();
        break;
    case Action::Draw:
        sim.drawWeapon(s.subject.c_str());
        break;
    case Action::Holster:
        sim.holster();
        break;
    case Action::CombatStart:
        sim.startCombat();
        break;
    case Action::CombatStop:
        sim.stopCombat();
        break;
    case Action::Press:
        sim.press(s.subject.c_str());
        break;
    case Action::Release:
        sim.release(s.subject.c_str());
        break;
    case Action::Key:
        sim.pressKey(s.key);
        sim.releaseKey(s.key);
        break;
    case Action::KeyboardOn:
        sim.game.usingKeyboardAndMouse = true;
        break;
    case Action::KeyboardOff:
        sim.game.usingKeyboardAndMouse = false;
        break;
    case Action::Complete:
        sim.complete(s.subject.c_str());
        break;
    case Action::Horse:
        cast.emplace_back(s.subject, sim.spawnHorse(s.x, s.y, s.z, s.heading));
        break;
    case Action::Target:
        sim.target(named(s.subject));
        break;
    case Action::TargetNone:
        sim.stopTargeting();
        break;
    case Action::Scenario:
        sim.setScenario(named(s.subject), s.name.c_str());
        break;
    case Action::ScenarioNone:
        sim.clearScenario(named(s.subject));
        break;
    case Action::Core:
        sim.game.entity(named(s.subject))->cores[s.name == "health" ? 0 : 1] =
            std::clamp(s.value, 0, 100);
        break;
    case Action::End:
        break;
    }
}

Record play(const scene::Scene& scene, const Settings& settings) {
    Player p(settings);
    try {
        p.lookAtTheWorld(Cause::Scene);
        p.lookAtTheScreen();
        for (const scene::Step& step : scene.steps) {
            p.playUntil(step.atMs);
            if (step.action == scene::Action::End) break;
            p.note("scene", step.text, Cause::Scene);
            try {
                p.apply(step);
            } catch (const sim::GameError& e) { // the line that asked for it, as a file's
                throw sim::GameError(scene.file + ":" + std::to_string(step.line) + ": " +
                                     e.what());
            }
        }
    } catch (const sim::GameError&) {
        p.finish(); // what happened up to the refusal
        throw;
    }
    for (const std::string& prompt : p.shown)
        p.record.spans.push_back({prompt, p.labelOf(prompt), p.shownSince[prompt], p.now()});
    for (const Watched& w : p.watched)
        if (w.scenario)
            p.record.spans.push_back(
                {w.name + " scenario", p.sim.game.nameOf(w.scenario), w.scenarioSince, p.now()});
    p.finish();
    p.record.endMs = p.now();
    p.record.pointsLeft = p.sim.game.pointsLeftUndeleted();
    p.record.digest = p.sim.host.digest;
    return p.record;
}

} // namespace session
