#include "emberlane-sim/replay.h"

#include "emberlane-sim/keys.h"
#include "emberlane-sim/passes.h"
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/timeline.h"
#include "host/native_hashes.h"
#include "sim/errors.h"
#include "sim/native_table.h"
#include "sim/sim.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <set>

namespace replay {
namespace {

using recording_file::Item;
using Next = recording_file::Reader::Next;
using Recorded = recording_file::Call;

constexpr std::size_t callsBefore = 6, callsFrom = 4;
constexpr std::size_t restOfPass = 2000; // calls and waits a pass may take after a difference

// Thrown into the plug-in's script to end the replay: the recording has no more to answer, or
// the pass in which the two differ is over.
struct Stop : std::exception {
    const char* what() const noexcept override { return "the replay stops here"; }
};

// A recording's texts are a stranger's: they reach the terminal without control characters.
std::string printable(std::string text) {
    for (char& c : text)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F) c = '?';
    return text;
}

std::string hex(std::uint64_t v) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(v));
    return buffer;
}

// The kind of a call's argument as the recording writes it, from the native table.
char kindOf(const sim::NativeInfo* info, std::size_t i) {
    if (!info || i >= std::strlen(info->args)) return 'v';
    return info->args[i] == 's' ? 't' : info->args[i] == 'p' ? 'o' : 'v';
}

// The plug-in's call as the recording would hold it; what the game wrote is read only once it
// has been written.
Recorded asRecorded(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                    bool readOuts) {
    Recorded r;
    r.hash = hash;
    r.argc = static_cast<std::uint8_t>(std::min(argc, recording_file::maxArgs));
    const sim::NativeInfo* info = sim::findNative(hash);
    for (std::uint8_t i = 0; i < r.argc; ++i) {
        recording_file::Arg& a = r.args[i];
        a.kind = args[i] ? kindOf(info, i) : 'v'; // no text, no address: the value 0
        if (a.kind == 't' && args[i]) {
            const char* text = reinterpret_cast<const char*>(args[i]);
            a.text.assign(text, strnlen(text, recording_file::maxText));
        } else if (a.kind == 'o' && readOuts && args[i]) {
            std::uint32_t written;
            std::memcpy(&written, reinterpret_cast<const void*>(args[i]), 4);
            a.value = written;
        } else if (a.kind == 'v') {
            a.value = args[i];
        }
    }
    return r;
}

// The same call: the same native, with the same values and texts, and an address where the
// recording has one. What the game wrote there is its answer, not part of the call.
bool sameCall(const Recorded& a, const Recorded& b) {
    if (a.hash != b.hash || a.argc != b.argc) return false;
    for (std::uint8_t i = 0; i < a.argc; ++i) {
        const recording_file::Arg &x = a.args[i], &y = b.args[i];
        if (x.kind != y.kind || (x.kind == 'v' && x.value != y.value) ||
            (x.kind == 't' && x.text != y.text))
            return false;
    }
    return true;
}

// The recorded answer, in the result slots and where the plug-in asked the game to write.
void give(const Recorded& r, const std::uint64_t* args, std::uint64_t result[3]) {
    if (r.answer == 'i' || r.answer == 'w') result[0] = r.answers[0];
    if (r.answer == 'c') std::copy(r.answers, r.answers + 3, result);
    for (std::uint8_t i = 0; i < r.argc; ++i)
        if (r.args[i].kind == 'o' && args[i]) {
            const auto written = static_cast<std::uint32_t>(r.args[i].value);
            std::memcpy(reinterpret_cast<void*>(args[i]), &written, 4);
        }
}

// A recorded call in words, as the trace writes the plug-in's own; one the native table does
// not know, or with arguments of other kinds than the table's, plainly.
std::string describe(const sim::Sim& sim, const Recorded& r) {
    const sim::NativeInfo* info = sim::findNative(r.hash);
    bool fits = info && std::strlen(info->args) == r.argc;
    for (std::uint8_t i = 0; fits && i < r.argc; ++i)
        fits = kindOf(info, i) == r.args[i].kind || (r.args[i].kind == 'v' && !r.args[i].value);
    if (fits) {
        sim::Call c;
        c.hash = r.hash;
        c.argc = r.argc;
        for (std::uint8_t i = 0; i < r.argc; ++i)
            c.args[i] = r.args[i].kind == 't'
                            ? reinterpret_cast<std::uintptr_t>(r.args[i].text.c_str())
                        : r.args[i].kind == 'o' ? 1
                                                : r.args[i].value;
        std::copy(r.answers, r.answers + 3, c.result);
        return printable(sim.describe(c));
    }
    std::string text = (info ? std::string(info->name) : hex(r.hash)) + "(";
    for (std::uint8_t i = 0; i < r.argc; ++i) {
        if (i) text += ", ";
        const recording_file::Arg& a = r.args[i];
        text += a.kind == 't' ? "\"" + a.text + "\"" : a.kind == 'o' ? "&" : hex(a.value);
    }
    text += ")";
    if (r.answer != 'n') text += " = " + hex(r.answers[0]);
    return printable(text);
}

sim::Call waitCall(std::uint32_t ms) {
    sim::Call c;
    c.kind = sim::Call::Wait;
    c.hash = ms;
    return c;
}

// What the recording shows of a ped: the player, or a horse.
struct Ped {
    std::string name;
    Handle handle = 0;
    Hash scenario = 0;
    std::int64_t since = 0;
    bool coreKnown[2] = {};
    std::int32_t cores[2] = {};
    bool overpowered = false;
    int props = 0;
    bool pointsKnown = false;
    std::int32_t points = 0;
    int washedInPass = -2;
    int inWater = -1, still = -1, inCombat = -1; // -1: not asked yet
    Hash weapon = 0;
};

struct SeenPrompt {
    Handle handle = 0;
    std::string name, label;
    bool enabled = false, visible = false;
};

// Reads the session from the calls and the game's answers: what the plug-in did, and what
// the player did as the game reported it (every such line is the game's).
struct Watcher {
    session::Record record;
    session::CoreRuns runs;
    std::int64_t now = 0;
    int pass = 0;
    Handle player = 0;
    std::map<Hash, std::string> names;
    std::map<std::uint64_t, std::string> texts;
    std::vector<SeenPrompt> prompts;
    std::vector<Ped> peds;
    std::map<Handle, Hash> points;
    std::size_t pointsDeleted = 0;
    std::vector<std::string> shown;
    std::map<std::string, std::int64_t> shownSince;
    Handle target = -1;
    std::uint32_t keyTime = 0;
    std::uint32_t hotkey = 0;
    std::set<std::string> inputsThisPass;

    void note(std::string what, std::string detail, session::Cause cause) {
        record.events.push_back({now, std::move(what), printable(std::move(detail)), cause});
    }
    void input(const std::string& detail) {
        if (inputsThisPass.insert(detail).second) note("player", detail, session::Cause::Game);
    }
    std::string nameOf(Hash h) const {
        const auto it = names.find(h);
        return it == names.end() ? hex(h) : it->second;
    }
    Ped& ped(Handle h) {
        for (Ped& p : peds)
            if (p.handle == h) return p;
        Ped p;
        p.handle = h;
        const auto horses = std::count_if(peds.begin(), peds.end(),
                                          [](const Ped& q) { return q.name != "player"; });
        p.name = h == player ? "player" : horses ? "horse " + std::to_string(horses + 1) : "horse";
        p.since = now;
        peds.push_back(p);
        return peds.back();
    }
    SeenPrompt* prompt(Handle h) {
        for (SeenPrompt& p : prompts)
            if (p.handle == h) return &p;
        return nullptr;
    }

    void scenario(Ped& p, Hash to, session::Cause cause) {
        if (p.scenario == to) return;
        if (p.scenario) {
            note(p.name + " ends", nameOf(p.scenario), cause);
            record.spans.push_back({p.name + " scenario", nameOf(p.scenario), p.since, now});
        }
        if (to) note(p.name + " starts", nameOf(to), cause);
        p.scenario = to;
        p.since = now;
    }

    void core(Ped& p, int i, std::int32_t value, session::Cause cause) {
        if (i < 0 || i > 1) return;
        value = std::clamp(value, 0, 100); // what the game keeps of a value it is given
        if (p.coreKnown[i] && p.cores[i] != value) {
            const std::string series = p.name + (i == 0 ? " health" : " stamina");
            runs.changed(record, now, series, p.cores[i], value, cause);
            record.samples.push_back({now, series, value});
        } else if (!p.coreKnown[i]) {
            record.samples.push_back({now, p.name + (i == 0 ? " health" : " stamina"), value});
        }
        p.coreKnown[i] = true;
        p.cores[i] = value;
    }

    void flag(int& state, bool value, const char* yes, const char* no) {
        if (state >= 0 && state != value) input(std::string(value ? yes : no));
        state = value;
    }

    // One call with its answer; the recording's form, so that both sides of a difference
    // are read alike.
    void call(const Recorded& c) {
        auto arg = [&c](int i) { return i < c.argc ? c.args[i].value : 0; };
        auto handle = [&](int i) {
            return static_cast<Handle>(static_cast<std::uint32_t>(arg(i)));
        };
        const auto answer = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.answers[0]));
        const bool yes = answer != 0;
        using session::Cause;
        // A question about no ped at all (no horse yet) tells nothing about anyone.
        static constexpr std::uint64_t aboutAPed[] = {
            op::useScenarioPoint,   op::clearPedTasks,       op::pedUsingAnyScenario,
            op::pedUsingScenario,   op::coreValue,           op::setCoreValue,
            op::coreOverpowered,    op::enableCoreOverpower, op::attributePoints,
            op::setAttributePoints, op::discardHeldProp,     op::faceWashEffect,
            op::currentPedWeapon};
        if (handle(0) == 0 &&
            std::find(std::begin(aboutAPed), std::end(aboutAPed), c.hash) != std::end(aboutAPed))
            return;
        switch (c.hash) {
        case op::hashOfName:
            if (c.argc == 1) names[static_cast<Hash>(c.answers[0])] = c.args[0].text;
            break;
        case op::playerPed:
            player = answer;
            ped(player).name = "player";
            break;
        case op::promptRegisterBegin: {
            const std::size_t n = prompts.size();
            prompts.push_back({answer,
                               n < sim::promptNames.size() ? sim::promptNames[n]
                                                           : "prompt " + std::to_string(n + 1),
                               "", false, false});
            break;
        }
        case op::literalText:
            if (c.argc == 3) texts[c.answers[0]] = c.args[2].text;
            break;
        case op::promptSetText:
            if (SeenPrompt* p = prompt(handle(0))) p->label = texts[arg(1)];
            break;
        case op::promptSetEnabled:
            if (SeenPrompt* p = prompt(handle(0))) p->enabled = arg(1) != 0;
            break;
        case op::promptSetVisible:
            if (SeenPrompt* p = prompt(handle(0))) p->visible = arg(1) != 0;
            break;
        case op::promptCompleted:
            if (const SeenPrompt* p = prompt(handle(0)); p && yes) input("completes " + p->name);
            break;
        case op::controlJustPressed:
            if (yes) input("presses " + nameOf(static_cast<Hash>(arg(1))));
            break;
        case op::controlJustReleased:
            if (yes) input("releases " + nameOf(static_cast<Hash>(arg(1))));
            break;
        case op::createScenarioPoint:
            points[answer] = static_cast<Hash>(arg(0));
            break;
        case op::useScenarioPoint:
            if (points.count(handle(1))) scenario(ped(handle(0)), points[handle(1)], Cause::Plugin);
            break;
        case op::deleteScenarioPoint:
            pointsDeleted += points.erase(handle(0));
            break;
        case op::clearPedTasks:
            scenario(ped(handle(0)), 0, Cause::Plugin);
            break;
        case op::pedUsingAnyScenario:
            if (!yes) scenario(ped(handle(0)), 0, Cause::Game);
            break;
        case op::pedUsingScenario: {
            Ped& p = ped(handle(0));
            const auto asked = static_cast<Hash>(arg(1));
            if (yes)
                scenario(p, asked, Cause::Game);
            else if (p.scenario == asked)
                scenario(p, 0, Cause::Game);
            break;
        }
        case op::coreValue:
            core(ped(handle(0)), static_cast<int>(arg(1)), answer, Cause::Game);
            break;
        case op::setCoreValue:
            core(ped(handle(0)), static_cast<int>(arg(1)), static_cast<std::int32_t>(arg(2)),
                 Cause::Plugin);
            break;
        case op::coreOverpowered: {
            Ped& p = ped(handle(0));
            if (p.overpowered != yes)
                note(p.name + " stamina", yes ? "overpowered" : "overpower worn off", Cause::Game);
            p.overpowered = yes;
            break;
        }
        case op::enableCoreOverpower: {
            Ped& p = ped(handle(0));
            if (!p.overpowered) note(p.name + " stamina", "overpowered", Cause::Plugin);
            p.overpowered = true;
            break;
        }
        case op::attributePoints:
        case op::setAttributePoints: {
            Ped& p = ped(handle(0));
            const bool set = c.hash == op::setAttributePoints;
            const auto value = set ? static_cast<std::int32_t>(arg(2)) : answer;
            if (p.pointsKnown && p.points != value)
                note(p.name + " points", std::to_string(p.points) + " -> " + std::to_string(value),
                     set ? Cause::Plugin : Cause::Game);
            p.pointsKnown = true;
            p.points = value;
            break;
        }
        case op::discardHeldProp: {
            Ped& p = ped(handle(0));
            ++p.props;
            note(p.name + " props", "the held prop is discarded", Cause::Plugin);
            record.marks.push_back(
                {session::Mark::PropDiscard, now, 0, p.name + "'s prop discarded"});
            break;
        }
        case op::faceWashEffect: {
            Ped& p = ped(handle(0));
            if (p.washedInPass < pass - 1)
                note(p.name + " washes", "the face-wash effect runs each pass", Cause::Plugin);
            p.washedInPass = pass;
            break;
        }
        case op::entityInWater:
            if (handle(0) == player) flag(ped(player).inWater, yes, "wades in", "wades out");
            break;
        case op::pedIsStill:
            if (handle(0) == player) flag(ped(player).still, yes, "stands still", "moves");
            break;
        case op::pedInCombat:
            if (handle(0) == player) flag(ped(player).inCombat, yes, "fights", "stops fighting");
            break;
        case op::currentPedWeapon: {
            Ped& p = ped(handle(0));
            const auto weapon = static_cast<Hash>(arg(1));
            if (p.weapon && weapon != p.weapon)
                input(weapon == sim::unarmed ? "holsters" : "draws " + nameOf(weapon));
            p.weapon = weapon;
            break;
        }
        case op::playerTargetEntity: {
            const Handle aimed = yes ? handle(1) : 0;
            if (target >= 0 && aimed != target)
                input(aimed ? "targets " + ped(aimed).name : std::string("targets nothing"));
            target = aimed;
            break;
        }
        default:
            break;
        }
    }

    void hotkeyTest(std::uint32_t time, std::int32_t isUpNow) {
        if (time != keyTime && isUpNow) {
            const std::string name = keys::nameOf(hotkey);
            input("releases the hotkey, " + std::to_string(hotkey) +
                  (name.empty() ? "" : " (" + name + ")"));
        }
        keyTime = time;
    }

    void wait(std::uint32_t ms) {
        if (ms == 0) return;
        note("script waits", std::to_string(ms) + " ms inside the pass", session::Cause::Plugin);
        record.marks.push_back({session::Mark::Wait, now, static_cast<std::int64_t>(ms),
                                "the script waits " + std::to_string(ms) + " ms"});
    }

    void passBegins() {
        ++pass;
        inputsThisPass.clear();
    }

    // What is on screen when the frame is drawn.
    void lookAtTheScreen() {
        std::vector<std::string> nowShown;
        for (const SeenPrompt& p : prompts)
            if (p.enabled && p.visible) nowShown.push_back(p.name);
        auto labelOf = [this](const std::string& name) {
            for (const SeenPrompt& p : prompts)
                if (p.name == name && !p.label.empty()) return "\"" + p.label + "\"";
            return name;
        };
        for (const std::string& p : nowShown)
            if (std::find(shown.begin(), shown.end(), p) == shown.end()) {
                note("prompt shown", labelOf(p) + "  (" + p + ")", session::Cause::Plugin);
                shownSince[p] = now;
            }
        for (const std::string& p : shown)
            if (std::find(nowShown.begin(), nowShown.end(), p) == nowShown.end()) {
                note("prompt hidden", labelOf(p) + "  (" + p + ")", session::Cause::Plugin);
                record.spans.push_back({p, printable(labelOf(p)), shownSince[p], now});
            }
        shown = nowShown;
    }

    // What a player sees, as --compare lists it.
    std::vector<std::pair<std::string, std::string>> sight(std::int64_t at) const {
        std::vector<std::pair<std::string, std::string>> out;
        out.emplace_back("game time", timeline::clock(at));
        std::string onScreen;
        for (const SeenPrompt& p : prompts)
            if (p.enabled && p.visible)
                onScreen += (onScreen.empty() ? "\"" : ", \"") + p.label + "\"";
        out.emplace_back("prompts on screen", onScreen.empty() ? "none" : printable(onScreen));
        for (const Ped& p : peds) {
            out.emplace_back(p.name + " scenario", p.scenario ? nameOf(p.scenario) : "none");
            out.emplace_back(p.name + " health", p.coreKnown[0] ? std::to_string(p.cores[0]) : "?");
            out.emplace_back(p.name + " stamina",
                             (p.coreKnown[1] ? std::to_string(p.cores[1]) : "?") +
                                 (p.overpowered ? ", overpowered" : ""));
            out.emplace_back(p.name + " props discarded", std::to_string(p.props));
            if (p.name != "player") out.emplace_back(p.name + " points", std::to_string(p.points));
        }
        return out;
    }

    void finish(std::uint64_t lastPassCalls) {
        if (lastPassCalls) record.callsPerPass.push_back(lastPassCalls);
        for (const std::string& p : shown)
            for (const SeenPrompt& q : prompts)
                if (q.name == p)
                    record.spans.push_back({p, printable(q.label), shownSince[p], now});
        for (const Ped& p : peds)
            if (p.scenario)
                record.spans.push_back({p.name + " scenario", nameOf(p.scenario), p.since, now});
        runs.closeAll(record);
        std::stable_sort(
            record.events.begin(), record.events.end(),
            [](const session::Event& a, const session::Event& b) { return a.ms < b.ms; });
        record.endMs = now;
        record.pointsLeft = points.size();
    }
};

struct Replay {
    Replay(sim::Sim& s, recording_file::Reader& r, Outcome& o, const session::Settings& settings_)
        : sim(s), reader(r), out(o), settings(settings_), hotkey(o.hotkey) {
        watcher.hotkey = hotkey;
    }

    sim::Sim& sim;
    recording_file::Reader& reader;
    Outcome& out;
    const session::Settings& settings;
    std::uint32_t hotkey;
    Watcher watcher;
    passes::Counter counter;
    std::uint64_t passCalls = 0;
    std::deque<sim::Call> recent; // the last calls both made alike
    std::optional<Item> next;     // the next call or wait the recording holds
    std::uint32_t tick = 0;       // the tick count the plug-in reads
    bool stopped = false;

    // After a difference: the recording's rest of that pass, and this build's.
    bool differs = false;
    compare::Divergence divergence;
    std::vector<Recorded> theirCalls;
    std::vector<bool> used;
    Watcher theirs;
    std::int64_t ourTime = 0, theirTime = 0;
    std::int64_t lastFrame = 33;
    std::uint64_t waits = 0;
    std::size_t ourSteps = 0;

    std::int64_t now() const { return sim.host.elapsedMs; }

    // To the next call or wait of the recording, doing on the way what the plug-in will read
    // before it: the hotkey test's tick count and key record.
    void advance() {
        next.reset();
        Item item;
        for (;;) {
            switch (reader.next(item)) {
            case Next::End:
                out.ending = "it ends at byte " + std::to_string(reader.offset()) +
                             " without the unload mark: the game was closed without unloading "
                             "the plug-in, killed, or crashed";
                return;
            case Next::Cut:
                out.ending = "it was " + reader.problem() +
                             ": the game was killed or crashed while it was written";
                return;
            case Next::Damaged:
                out.status = Outcome::Status::BadFile;
                out.problem = reader.problem();
                out.ending = "it is " + reader.problem();
                return;
            case Next::Item:
                break;
            }
            switch (item.kind) {
            case Item::Call:
            case Item::Wait:
                next = std::move(item);
                return;
            case Item::Hotkey:
                hotkeyTest(item);
                break;
            case Item::Unloaded:
                out.ending = "it ends where the game unloaded the plug-in";
                return;
            case Item::Capped:
                out.ending = "it stops at the size cap: the plug-in recorded no more";
                return;
            case Item::Settings:
            case Item::Labels:
                break; // read before the plug-in was loaded
            }
        }
    }

    void hotkeyTest(const Item& k) {
        watcher.now = now();
        watcher.hotkeyTest(k.time, k.isUpNow);
        if (k.time != 0 || k.isUpNow != 0) {
            sim.host.tickCount = tick = k.time;
            sim::sendKey(hotkey, k.isUpNow != 0);
        }
        sim.host.tickCount = tick = k.now;
    }

    [[noreturn]] void stop() {
        stopped = true;
        throw Stop{};
    }

    // The answer to one of the plug-in's calls.
    void answer(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                std::uint64_t result[3]) {
        const Recorded ours = asRecorded(hash, args, argc, false);
        if (!differs && !next) stop();
        if (!differs && (next->kind != Item::Call || !sameCall(next->call, ours))) {
            sim::Call c;
            c.hash = hash;
            beginDifference(c);
        }
        if (differs) return answerAfterDifference(ours, args, result);
        give(next->call, args, result);
        watcher.now = now();
        watcher.call(next->call);
        advance();
    }

    void onCall(const sim::Call& c) {
        if (settings.trace)
            std::printf("%s    %s\n", timeline::clock(now()).c_str(),
                        sim.describe(c, true).c_str());
        if (c.kind == sim::Call::Wait) return onWait(c);
        const int easeWaits = counter.easeWaits;
        if (counter.take(c)) {
            if (counter.number > 1) watcher.record.callsPerPass.push_back(passCalls);
            passCalls = 0;
            watcher.passBegins();
            if (easeWaits && !differs) {
                watcher.now = now();
                watcher.note("script eases",
                             "the camera in over " + std::to_string(easeWaits) + " frames",
                             session::Cause::Plugin);
            }
        }
        ++passCalls;
        if (c.hash == op::hashOfName && c.args[0])
            sim.game.names[static_cast<Hash>(c.result[0])] =
                printable(reinterpret_cast<const char*>(c.args[0]));
        remember(c);
    }

    void onWait(const sim::Call& c) {
        const auto ms = static_cast<std::uint32_t>(c.hash);
        if (!differs && !next) {
            // The game unloaded the plug-in, or stopped, during this wait: its pass is whole.
            counter.take(c);
            stop();
        }
        if (!differs && (next->kind != Item::Wait || next->ms != ms)) beginDifference(c);
        remember(c);
        counter.take(c);
        if (differs) {
            watcher.wait(ms);
            if (counter.ended) finishDifference();
            // The game resumes a script at a frame: a wait ends at the first one after it.
            const std::int64_t frame = std::max<std::int64_t>(lastFrame, 1);
            ourTime += ms ? (ms + frame - 1) / frame * frame : frame;
            if (++ourSteps > restOfPass) finishDifference();
            return;
        }
        watcher.now = now();
        watcher.wait(ms);
        // The next slice begins where the game resumed the script: after the slice's own run and
        // the wait. The first slice's run counts from the plug-in's load, when the game may still
        // have been loading: it began one frame before its wait, as far as the replay can tell.
        const std::uint32_t took = next->tookMs;
        const std::uint32_t ran = waits++ ? next->ranMs : 0;
        lastFrame = took;
        sim.host.frameMs = static_cast<int>(std::max<std::uint32_t>(ran + took, ms));
        advance();
    }

    // Calls are put in words only where a report needs them: the texts they point to live as
    // long as the plug-in.
    void remember(const sim::Call& c) {
        if (differs) {
            if (divergence.ours.size() < callsFrom) divergence.ours.push_back(sim.describe(c));
            return;
        }
        recent.push_back(c);
        if (recent.size() > callsBefore) recent.pop_front();
    }

    // The recording and this build part here: the recording's rest of the pass is read whole,
    // so that this build can be answered where it asks the same, and both can be seen.
    void beginDifference(const sim::Call& first) {
        differs = true;
        passes::Counter probe = counter;
        probe.take(first);
        divergence.pass = probe.number;
        divergence.ms = now();
        for (const sim::Call& c : recent) divergence.before.push_back(sim.describe(c));
        theirs = watcher;
        theirs.now = now();
        ourTime = theirTime = now();
        passes::Counter theirCounter = counter;
        std::size_t steps = 0;
        while (next && steps++ < restOfPass) {
            const Item item = *next;
            if (item.kind == Item::Call) {
                if (divergence.theirs.size() < callsFrom)
                    divergence.theirs.push_back(describe(sim, item.call));
                theirCalls.push_back(item.call);
                sim::Call c;
                c.hash = item.call.hash;
                if (theirCounter.take(c)) theirs.passBegins();
                theirs.call(item.call);
                advanceTheirs();
                continue;
            }
            if (divergence.theirs.size() < callsFrom)
                divergence.theirs.push_back(sim.describe(waitCall(item.ms)));
            theirs.wait(item.ms);
            theirCounter.take(waitCall(item.ms));
            if (theirCounter.ended) break;
            theirTime += item.ranMs + item.tookMs;
            theirs.now = theirTime;
            advanceTheirs();
        }
        if (divergence.theirs.empty())
            divergence.theirs.push_back("(no more: the recording ends here)");
        used.assign(theirCalls.size(), false);
    }

    // The recording's next item, its hotkey tests read on its side alone.
    void advanceTheirs() {
        next.reset();
        Item item;
        while (reader.next(item) == Next::Item) {
            if (item.kind == Item::Call || item.kind == Item::Wait) {
                next = std::move(item);
                return;
            }
            if (item.kind == Item::Hotkey) theirs.hotkeyTest(item.time, item.isUpNow);
            if (item.kind == Item::Unloaded || item.kind == Item::Capped) return;
        }
    }

    void answerAfterDifference(const Recorded& ours, const std::uint64_t* args,
                               std::uint64_t result[3]) {
        result[0] = result[1] = result[2] = 0;
        for (std::size_t i = 0; i < theirCalls.size(); ++i)
            if (!used[i] && sameCall(theirCalls[i], ours)) {
                give(theirCalls[i], args, result);
                used[i] = true;
                break;
            }
        Recorded answered = asRecorded(ours.hash, args, ours.argc, true);
        answered.answer = 'i';
        std::copy(result, result + 3, answered.answers);
        watcher.now = ourTime;
        watcher.call(answered);
        if (++ourSteps > restOfPass) finishDifference();
    }

    [[noreturn]] void finishDifference() {
        watcher.now = ourTime;
        const auto ourSight = watcher.sight(ourTime);
        const auto theirSight = theirs.sight(theirTime);
        for (const auto& [what, seen] : ourSight) {
            const auto other = std::find_if(theirSight.begin(), theirSight.end(),
                                            [&](const auto& s) { return s.first == what; });
            const std::string theirSeen = other == theirSight.end() ? "(not there)" : other->second;
            if (theirSeen != seen)
                divergence.seenDifferently.push_back(what + ": " + seen + " | " + theirSeen);
        }
        if (divergence.ours.empty()) divergence.ours.push_back("(no more calls)");
        out.divergence = divergence;
        out.status = Outcome::Status::Differs;
        stop();
    }
};

Replay* active = nullptr;

void answerFromRecording(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                         std::uint64_t result[3]) {
    active->answer(hash, args, argc, result);
}

std::string labelFile(const LabelLines& labels) {
    // The key before "=" is dropped and one CR before the line feed with it: each line comes
    // back as it was read, whatever it holds.
    std::string text;
    for (const std::string& label : labels) text += "=" + label + "\r\n";
    return text;
}

} // namespace

std::string settingsFile(std::uint32_t hotkey, std::int32_t destroyProp) {
    return "[SETTINGS]\r\nPROMPTS_HOTKEY=" + std::to_string(hotkey) +
           "\r\nDESTROY_SCENARIO_PROP=" + std::to_string(destroyProp) + "\r\n";
}

Outcome run(const std::string& path, const session::Settings& settings) {
    Outcome out;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        out.status = Outcome::Status::BadFile;
        out.problem = "cannot be opened";
        return out;
    }
    // What the plug-in reads before its first wait: the settings at load, the label lines at
    // its start, and how long its first pass took to come.
    recording_file::Header header;
    recording_file::Reader scan(file);
    Item item;
    bool ok = scan.readHeader(header);
    const std::uint64_t settingsAt = scan.offset();
    if (ok && (scan.next(item) != Next::Item || item.kind != Item::Settings)) {
        ok = false;
        if (scan.problem().empty())
            out.problem = "damaged at byte " + std::to_string(settingsAt) +
                          ": expected the settings, the first item of every recording";
    }
    if (!ok) {
        out.status = Outcome::Status::BadFile;
        if (out.problem.empty()) out.problem = scan.problem();
        return out;
    }
    out.pluginVersion = printable(header.pluginVersion);
    out.hotkey = item.hotkey;
    out.destroyProp = item.destroyProp;
    std::optional<LabelLines> labels;
    std::uint32_t firstFrame = 33;
    for (Next n; (n = scan.next(item)) == Next::Item;) {
        if (item.kind == Item::Labels) labels = item.labels;
        if (item.kind == Item::Wait) {
            firstFrame = item.tookMs;
            break;
        }
    }

    file.clear();
    file.seekg(0);
    recording_file::Reader reader(file);
    reader.readHeader(header);
    reader.next(item);

    sim::Options options = settings.options;
    options.ini = settingsFile(out.hotkey, out.destroyProp);
    options.dat = labels ? std::optional(labelFile(*labels)) : std::nullopt;
    options.frameMs = static_cast<int>(firstFrame);
    sim::Sim sim(options);
    Replay r(sim, reader, out, settings);
    active = &r;
    sim.host.responder = answerFromRecording;
    sim.trace = [&r](const sim::Call& c) { r.onCall(c); };
    sim.host.afterTick = [&r, &sim] { sim.host.tickCount = r.tick; };
    r.advance();
    try {
        while (!r.stopped) {
            sim.frame();
            r.watcher.now = sim.host.elapsedMs;
            r.watcher.lookAtTheScreen();
        }
    } catch (const sim::GameError&) {
        if (!r.stopped) {
            active = nullptr;
            throw;
        }
    }
    sim.trace = nullptr;
    sim.host.afterTick = nullptr;
    active = nullptr;
    if (!r.differs) r.watcher.now = sim.host.elapsedMs;
    r.watcher.finish(r.differs ? 0 : r.passCalls);
    out.record = std::move(r.watcher.record);
    out.passes = r.differs ? r.divergence.pass - 1 : std::max(0, r.counter.completed());
    return out;
}

std::string report(const std::string& name, const Outcome& o) {
    if (o.status == Outcome::Status::BadFile && o.passes == 0 && o.ending.empty())
        return name + ": " + o.problem + "\n";
    std::string out = name + ": recorded by Emberlane " + o.pluginVersion +
                      (o.ending.empty() ? "" : "; " + o.ending) + "\n";
    if (o.status == Outcome::Status::BadFile)
        return out + name + ": replayed " + std::to_string(o.passes) +
               " passes before the damage\n";
    if (!o.divergence) return out + name + ": identical, " + std::to_string(o.passes) + " passes\n";
    return out + name + ": " + compare::describe(*o.divergence, "this build", "the recording");
}

} // namespace replay
