#include "emberlane-sim/observer.h"

#include "emberlane-sim/timeline.h"
#include "sim/printable.h"

#include <algorithm>
#include <cctype>

namespace observer {
namespace {

constexpr const char* coreNames[2] = {"health", "stamina"};

// A refill that pauses longer than its slowest interval (3000 ms) begins a new line.
constexpr std::int64_t longestRefillPause = 3100;

// A prompt as the timeline names it: its label, or its name when it has none.
std::string labelOf(const OnScreen& p) {
    return p.label.empty() ? p.prompt : "\"" + p.label + "\"";
}

// A prompt as a timeline line shows it: its label as the game shows it, an empty one empty,
// and its name.
std::string shownAs(const OnScreen& p) { return "\"" + p.label + "\"  (" + p.prompt + ")"; }

} // namespace

std::string readable(const std::string& text) {
    const bool plain =
        !text.empty() && text.size() <= 100 && std::all_of(text.begin(), text.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
        });
    return plain ? text : sim::quoted(text);
}

bool Observer::room(std::size_t more) {
    if (bytes + more <= maxBytes) {
        bytes += more;
        return true;
    }
    if (history.fullAt < 0) history.fullAt = now;
    return false;
}

void Observer::note(const std::string& what, const std::string& detail, Cause cause,
                    std::int64_t at) {
    if (room(sizeof(Event) + what.size() + detail.size()))
        history.events.push_back({at < 0 ? now : at, what, detail, cause});
}

void Observer::span(const std::string& lane, const std::string& label, std::int64_t from) {
    if (room(sizeof(Span) + lane.size() + label.size()))
        history.spans.push_back({lane, label, from, now});
}

void Observer::sample(const std::string& series, std::int32_t value) {
    if (room(sizeof(Sample) + series.size())) history.samples.push_back({now, series, value});
}

Observer::Someone& Observer::someone(const std::string& who) {
    for (Someone& s : people)
        if (s.name == who) return s;
    meet(who);
    return people.back();
}

void Observer::meet(const std::string& who) {
    for (const Someone& s : people)
        if (s.name == who) return;
    Someone s;
    s.name = who;
    s.scenarioSince = now;
    people.push_back(s);
}

void Observer::scenario(const std::string& who, const std::string& name, Cause cause) {
    Someone& s = someone(who);
    if (s.scenario == name) return;
    if (!s.scenario.empty()) {
        note(who + " ends", s.scenario, cause);
        span(who + " scenario", s.scenario, s.scenarioSince);
    }
    if (!name.empty()) note(who + " starts", name, cause);
    s.scenario = name;
    s.scenarioSince = now;
}

void Observer::closeRun(const std::string& series, Run& run) {
    if (!run.open) return;
    std::string detail = std::to_string(run.from) + " -> " + std::to_string(run.to);
    if (run.to - run.from > 1) detail += ", a point at a time until " + timeline::clock(run.last);
    note(series, detail, Cause::Plugin, run.since);
    run.open = false;
}

void Observer::coreChanged(const std::string& series, std::int32_t from, std::int32_t to,
                           Cause cause) {
    Run& run = runs[series];
    if (cause != Cause::Plugin || to != from + 1) { // set at once: a line of its own
        closeRun(series, run);
        note(series, std::to_string(from) + " -> " + std::to_string(to), cause);
        return;
    }
    if (run.open && from == run.to && now - run.last <= longestRefillPause) {
        run.to = to;
        run.last = now;
        return;
    }
    closeRun(series, run);
    run = {true, from, to, now, now};
}

void Observer::core(const std::string& who, int core, std::int32_t value, Cause cause) {
    if (core < 0 || core > 1) return;
    Someone& s = someone(who);
    const std::string series = who + " " + coreNames[core];
    if (s.coreKnown[core] && s.cores[core] == value) return;
    if (s.coreKnown[core]) coreChanged(series, s.cores[core], value, cause);
    sample(series, value);
    s.coreKnown[core] = true;
    s.cores[core] = value;
}

void Observer::overpowered(const std::string& who, bool overpowered, Cause cause) {
    Someone& s = someone(who);
    if (s.overpowered != overpowered)
        note(who + " stamina", overpowered ? "overpowered" : "overpower worn off", cause);
    s.overpowered = overpowered;
}

void Observer::propsDiscarded(const std::string& who, int total, Cause cause) {
    Someone& s = someone(who);
    if (total != s.props) {
        note(who + " props", "the held prop is discarded", cause);
        if (room(sizeof(Mark) + who.size() + 16))
            history.marks.push_back({Mark::PropDiscard, now, 0, who + "'s prop discarded"});
    }
    s.props = total;
}

void Observer::points(const std::string& who, std::int32_t points, Cause cause) {
    Someone& s = someone(who);
    if (s.pointsKnown && s.points != points && who != "player")
        note(who + " points", std::to_string(s.points) + " -> " + std::to_string(points), cause);
    s.pointsKnown = true;
    s.points = points;
}

void Observer::washing(const std::string& who, bool washing) {
    Someone& s = someone(who);
    if (washing && !s.washing)
        note(who + " washes", "the face-wash effect runs each pass", Cause::Plugin);
    s.washing = washing;
}

void Observer::hidden(const OnScreen& p, Cause cause) {
    note("prompt hidden", shownAs(p), cause);
    span(p.prompt, labelOf(p), shownSince[p.prompt]);
}

void Observer::screen(const std::vector<OnScreen>& prompts) {
    auto among = [](const std::vector<OnScreen>& list, const OnScreen& p) {
        return std::any_of(list.begin(), list.end(),
                           [&p](const OnScreen& q) { return q.prompt == p.prompt; });
    };
    for (const OnScreen& p : prompts)
        if (!among(shown, p)) {
            note("prompt shown", shownAs(p), Cause::Plugin);
            shownSince[p.prompt] = now;
        }
    for (const OnScreen& p : shown)
        if (!among(prompts, p)) hidden(p, Cause::Plugin);
    shown = prompts;
}

void Observer::scriptWaits(std::uint32_t ms) {
    if (ms == 0) return;
    const std::string length = std::to_string(ms);
    note("script waits", length + " ms inside the pass", Cause::Plugin);
    if (room(sizeof(Mark) + 40))
        history.marks.push_back(
            {Mark::Wait, now, static_cast<std::int64_t>(ms), "the script waits " + length + " ms"});
}

void Observer::sessionLoads(std::int64_t loadingMs, Cause cause) {
    note("load", "the game loads a session; the script starts again", cause);
    for (const OnScreen& p : shown) hidden(p, cause);
    shown.clear();
    if (room(sizeof(Mark) + 40))
        history.marks.push_back({Mark::Load, now, loadingMs, "the game loads a session"});
}

void Observer::scriptEases(int frames) {
    note("script eases", "the camera in over " + std::to_string(frames) + " frames", Cause::Plugin);
}

void Observer::sceneLine(const std::string& text) { note("scene", text, Cause::Scene); }

void Observer::playerDoes(const std::string& what) { note("player", what, Cause::Game); }

Sight Observer::sight() const {
    Sight out;
    out.emplace_back("game time", timeline::clock(now));
    std::string onScreen;
    for (const OnScreen& p : shown) onScreen += (onScreen.empty() ? "\"" : ", \"") + p.label + "\"";
    out.emplace_back("prompts on screen", onScreen.empty() ? "none" : onScreen);
    auto known = [](bool isKnown, std::int32_t value) {
        return isKnown ? std::to_string(value) : std::string("?");
    };
    for (const Someone& s : people) {
        out.emplace_back(s.name + " scenario", s.scenario.empty() ? "none" : s.scenario);
        out.emplace_back(s.name + " health", known(s.coreKnown[0], s.cores[0]));
        out.emplace_back(s.name + " stamina", known(s.coreKnown[1], s.cores[1]) +
                                                  (s.overpowered ? ", overpowered" : ""));
        out.emplace_back(s.name + " props discarded", std::to_string(s.props));
        if (s.name != "player")
            out.emplace_back(s.name + " points", known(s.pointsKnown, s.points));
    }
    return out;
}

void Observer::finish() {
    for (const OnScreen& p : shown) span(p.prompt, labelOf(p), shownSince[p.prompt]);
    for (const Someone& s : people)
        if (!s.scenario.empty()) span(s.name + " scenario", s.scenario, s.scenarioSince);
    for (auto& [series, run] : runs) closeRun(series, run);
    std::stable_sort(history.events.begin(), history.events.end(),
                     [](const Event& a, const Event& b) { return a.ms < b.ms; });
    history.endMs = now;
}

} // namespace observer
