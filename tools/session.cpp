#include "tools/session.h"

#include "host/native_hashes.h"
#include "sim/errors.h"

#include <algorithm>
#include <cstdio>

namespace session {
namespace {

std::string clock(std::int64_t ms) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return buffer;
}

struct Watched {
    std::string name; // "player" or a horse's name
    Handle handle;
    std::string scenario;
    std::int64_t scenarioSince = 0;
    std::int32_t cores[2] = {-1, -1};
    std::int32_t points = -1;
    int propsDiscarded = 0;
    int washEffects = 0;
    bool washing = false;
    bool overpowered = false;
};

struct Player {
    const Settings& settings;
    sim::Sim sim;
    Record record;
    std::vector<Watched> watched;
    std::vector<std::string> shown;
    std::map<std::string, std::int64_t> shownSince;
    bool afterEndOfPass = true;
    bool lastWasEase = false;
    int easeFrames = 0;
    std::uint64_t passCalls = 0;

    explicit Player(const Settings& s) : settings(s), sim(s.options) {
        watched.push_back({"player", sim.player, "", 0, {-1, -1}, -1, 0, 0, false, false});
        sim.trace = [this](const sim::Call& c) { onCall(c); };
    }

    std::int64_t now() const { return sim.host.elapsedMs; }

    void note(std::string what, std::string detail, std::int64_t at = -1) {
        record.events.push_back({at < 0 ? now() : at, std::move(what), std::move(detail)});
    }

    // A core that rises a point at a time is one line of the timeline, not one a point.
    struct Run {
        bool open = false;
        std::int32_t from = 0, to = 0;
        std::int64_t since = 0, last = 0;
    };
    std::map<std::string, Run> runs;

    void closeRun(const std::string& series, Run& r) {
        if (!r.open) return;
        std::string detail = std::to_string(r.from) + " -> " + std::to_string(r.to);
        if (r.to - r.from > 1) detail += ", a point at a time until " + clock(r.last);
        note(series, detail, r.since);
        r.open = false;
    }

    void coreChanged(const std::string& series, std::int32_t from, std::int32_t to) {
        Run& r = runs[series];
        if (to != from + 1) { // set at once: a line of its own
            closeRun(series, r);
            note(series, std::to_string(from) + " -> " + std::to_string(to));
            return;
        }
        if (r.open && from == r.to && now() - r.last <= 3100) {
            r.to = to;
            r.last = now();
            return;
        }
        closeRun(series, r);
        r = {true, from, to, now(), now()};
    }

    void onCall(const sim::Call& c) {
        if (settings.trace)
            std::printf("%s    %s\n", clock(now()).c_str(), sim.describe(c, true).c_str());
        if (c.kind == sim::Call::Wait) {
            if (c.hash > 0) note("script waits", std::to_string(c.hash) + " ms inside the pass");
            if (c.hash == 0 && lastWasEase) ++easeFrames;
            afterEndOfPass = c.hash == 0 && !lastWasEase;
            lastWasEase = false;
            return;
        }
        if (c.hash == op::playerPed && afterEndOfPass) { // the top of a new pass
            if (passCalls) record.callsPerPass.push_back(passCalls);
            passCalls = 0;
            if (easeFrames)
                note("script eases",
                     "the camera in over " + std::to_string(easeFrames) + " frames");
            easeFrames = 0;
        }
        afterEndOfPass = false;
        lastWasEase = c.hash == op::scenarioEase;
        ++passCalls;
    }

    std::string labelOf(const std::string& prompt) {
        const std::string& label = sim.prompt(prompt.c_str()).label;
        return label.empty() ? prompt : "\"" + label + "\"";
    }

    void look() {
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
            const std::string scenario = sim.scenarioOf(w.handle);
            if (scenario != w.scenario) {
                if (!w.scenario.empty()) {
                    note(w.name + " ends", w.scenario);
                    record.spans.push_back(
                        {w.name + " scenario", w.scenario, w.scenarioSince, now()});
                }
                if (!scenario.empty()) note(w.name + " starts", scenario);
                w.scenario = scenario;
                w.scenarioSince = now();
            }
            const sim::Entity* e = sim.game.entity(w.handle);
            if (!e) continue;
            static const char* const coreNames[2] = {"health", "stamina"};
            for (int i = 0; i < 2; ++i)
                if (e->cores[i] != w.cores[i]) {
                    if (w.cores[i] >= 0)
                        coreChanged(w.name + " " + coreNames[i], w.cores[i], e->cores[i]);
                    w.cores[i] = e->cores[i];
                    record.samples.push_back({now(), w.name + " " + coreNames[i], e->cores[i]});
                }
            if (e->propsDiscarded != w.propsDiscarded)
                note(w.name + " props", "the held prop is discarded");
            w.propsDiscarded = e->propsDiscarded;
            const bool washing = e->faceWashEffects != w.washEffects;
            if (washing && !w.washing)
                note(w.name + " washes", "the face-wash effect runs each pass");
            w.washing = washing;
            w.washEffects = e->faceWashEffects;
            if (e->overpowered != w.overpowered)
                note(w.name + " stamina", e->overpowered ? "overpowered" : "overpower worn off");
            w.overpowered = e->overpowered;
            if (w.name != "player" && e->attributePoints13 != w.points) {
                if (w.points >= 0)
                    note(w.name + " points",
                         std::to_string(w.points) + " -> " + std::to_string(e->attributePoints13));
                w.points = e->attributePoints13;
            }
        }
    }

    Watched& named(const std::string& name) {
        for (Watched& w : watched)
            if (w.name == name) return w;
        throw sim::GameError("no one named " + name);
    }

    void apply(const scene::Step& s) {
        using scene::Action;
        switch (s.action) {
        case Action::Stand:
            sim.standAt(s.x, s.y, s.z, s.heading);
            break;
        case Action::WadeIn:
            sim.game.entity(named(s.subject).handle)->inWater = true;
            break;
        case Action::WadeOut:
            sim.game.entity(named(s.subject).handle)->inWater = false;
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
            if (!sim.shown(s.subject.c_str()))
                throw sim::GameError("line " + std::to_string(s.line) + ": " + s.subject +
                                     " is not on screen to complete");
            sim.complete(s.subject.c_str());
            break;
        case Action::Horse:
            watched.push_back({s.subject,
                               sim.spawnHorse(s.x, s.y, s.z, s.heading),
                               "",
                               0,
                               {-1, -1},
                               -1,
                               0,
                               0,
                               false,
                               false});
            break;
        case Action::Target:
            sim.target(named(s.subject).handle);
            break;
        case Action::TargetNone:
            sim.stopTargeting();
            break;
        case Action::Scenario:
            sim.setScenario(named(s.subject).handle, s.name.c_str());
            break;
        case Action::ScenarioNone:
            sim.clearScenario(named(s.subject).handle);
            break;
        case Action::Core: {
            sim::Entity* e = sim.game.entity(named(s.subject).handle);
            e->cores[s.name == "health" ? 0 : 1] = std::clamp(s.value, 0, 100);
            break;
        }
        case Action::End:
            break;
        }
    }

    void playUntil(std::int64_t ms) {
        while (now() < ms) {
            sim.frame();
            look();
        }
    }
};

} // namespace

Record play(const scene::Scene& scene, const Settings& settings) {
    Player p(settings);
    auto printTimeline = [&] {
        for (auto& [series, run] : p.runs) p.closeRun(series, run);
        std::stable_sort(p.record.events.begin(), p.record.events.end(),
                         [](const Event& a, const Event& b) { return a.ms < b.ms; });
        if (settings.printEvents)
            for (const Event& e : p.record.events)
                std::printf("%s  %-18s %s\n", clock(e.ms).c_str(), e.what.c_str(),
                            e.detail.c_str());
    };
    try {
        p.look();
        for (const scene::Step& step : scene.steps) {
            p.playUntil(step.atMs);
            if (step.action == scene::Action::End) break;
            p.note("scene", step.text);
            p.apply(step);
        }
    } catch (const sim::GameError&) {
        printTimeline(); // what happened up to the refusal
        throw;
    }
    // Close the spans still open at the end.
    for (const std::string& prompt : p.shown)
        p.record.spans.push_back({prompt, p.labelOf(prompt), p.shownSince[prompt], p.now()});
    for (const Watched& w : p.watched)
        if (!w.scenario.empty())
            p.record.spans.push_back({w.name + " scenario", w.scenario, w.scenarioSince, p.now()});
    printTimeline();
    p.record.endMs = p.now();
    p.record.pointsLeft = p.sim.game.pointsLeftUndeleted();
    p.record.digest = p.sim.host.digest;
    return p.record;
}

std::string summary(const Record& r) {
    std::vector<std::uint64_t> calls = r.callsPerPass;
    std::sort(calls.begin(), calls.end());
    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "%zu passes in %s of game time; native calls per pass min %llu, median %llu, "
                  "max %llu; scenario points left undeleted: %zu\n",
                  calls.size(), clock(r.endMs).c_str(),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls.front()),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls[calls.size() / 2]),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls.back()), r.pointsLeft);
    return buffer;
}

namespace {

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
    }
    return out;
}

} // namespace

std::string svg(const Record& r) {
    const double width = 1200, left = 170, laneHeight = 20, chartHeight = 120;
    std::vector<std::string> lanes;
    for (const char* p : sim::promptNames) lanes.emplace_back(p);
    for (const Span& s : r.spans)
        if (std::find(lanes.begin(), lanes.end(), s.lane) == lanes.end()) lanes.push_back(s.lane);
    if (std::find(lanes.begin(), lanes.end(), "player scenario") == lanes.end())
        lanes.insert(lanes.begin() + 10, "player scenario");
    std::vector<std::string> series;
    for (const Sample& s : r.samples)
        if (std::find(series.begin(), series.end(), s.series) == series.end())
            series.push_back(s.series);

    const double span = std::max<double>(1, static_cast<double>(r.endMs));
    auto x = [&](std::int64_t ms) {
        return left + (width - left - 10) * static_cast<double>(ms) / span;
    };
    const double chartTop = 30 + laneHeight * static_cast<double>(lanes.size()) + 20;
    const double height = chartTop + chartHeight + 40;
    std::string out;
    char b[512];
    std::snprintf(
        b, sizeof b,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" font-size=\"11\">\n"
        "<rect width=\"100%%\" height=\"100%%\" fill=\"#fbf8f1\"/>\n"
        "<text x=\"10\" y=\"18\" font-size=\"13\">Emberlane in the stand-in game: %s of game "
        "time</text>\n",
        width, height, clock(r.endMs).c_str());
    out += b;
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        const double y = 30 + laneHeight * static_cast<double>(i);
        std::snprintf(b, sizeof b,
                      "<g class=\"lane\"><line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" "
                      "stroke=\"#ddd\"/><text x=\"10\" y=\"%.1f\">",
                      left, y + laneHeight - 1, width - 10, y + laneHeight - 1, y + 14);
        out += b + escape(lanes[i]) + "</text></g>\n";
        const bool scenarioLane = lanes[i].find("scenario") != std::string::npos;
        for (const Span& s : r.spans) {
            if (s.lane != lanes[i]) continue;
            std::snprintf(
                b, sizeof b,
                "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"><title>",
                x(s.from), y + 3, std::max(1.0, x(s.to) - x(s.from)), laneHeight - 6,
                scenarioLane ? "#8a6d3b" : "#d9822b");
            out += b + escape(s.label) + "</title></rect>\n";
        }
    }
    static const char* const colours[] = {"#2b6cb0", "#c53030", "#2f855a",
                                          "#6b46c1", "#b7791f", "#319795"};
    std::snprintf(b, sizeof b,
                  "<g class=\"cores\"><text x=\"10\" y=\"%.1f\">cores (0-100)</text><rect "
                  "x=\"%.1f\" y=\"%.1f\" "
                  "width=\"%.1f\" height=\"%.1f\" fill=\"none\" stroke=\"#ccc\"/>\n",
                  chartTop + 14, left, chartTop, width - 10 - left, chartHeight);
    out += b;
    for (std::size_t k = 0; k < series.size(); ++k) {
        std::string points;
        double lastY = -1;
        for (const Sample& s : r.samples) {
            if (s.series != series[k]) continue;
            const double y = chartTop + chartHeight * (1 - std::clamp(s.value, 0, 100) / 100.0);
            if (lastY >= 0) {
                std::snprintf(b, sizeof b, "%.1f,%.1f ", x(s.ms), lastY);
                points += b;
            }
            std::snprintf(b, sizeof b, "%.1f,%.1f ", x(s.ms), y);
            points += b;
            lastY = y;
        }
        if (lastY >= 0) {
            std::snprintf(b, sizeof b, "%.1f,%.1f", x(r.endMs), lastY);
            points += b;
        }
        const char* colour = colours[k % 6];
        out += "<polyline fill=\"none\" stroke=\"" + std::string(colour) + "\" points=\"" + points +
               "\"/>\n";
        std::snprintf(b, sizeof b, "<text x=\"%.1f\" y=\"%.1f\" fill=\"%s\">",
                      left + 10 + 150.0 * static_cast<double>(k), chartTop + chartHeight + 18,
                      colour);
        out += b + escape(series[k]) + "</text>\n";
    }
    out += "</g>\n</svg>\n";
    return out;
}

} // namespace session
