#include "emberlane-sim/call_watcher.h"

#include "emberlane-sim/keys.h"
#include "emberlane-sim/scene.h"
#include "host/keyboard.h"
#include "sim/game.h"
#include "sim/native_table.h"
#include "sim/printable.h"
#include "sim/sim.h"

#include <algorithm>
#include <iterator>

namespace {

using observer::Cause;

// A recording may tell of any number of peds, prompts, names and points; the plug-in's games
// have a few. Past these it learns of no more: memory stays small whatever the file says.
constexpr std::size_t mostPeople = 32, mostPrompts = 32, mostTexts = 256, mostPoints = 4096;

template <typename Map>
void remember(Map& map, const typename Map::key_type& key, const typename Map::mapped_type& value,
              std::size_t most) {
    if (map.size() < most || map.count(key)) map[key] = value;
}

} // namespace

CallWatcher::Someone* CallWatcher::someone(Handle h) {
    for (Someone& s : people)
        if (s.handle == h) return &s;
    if (people.size() == mostPeople) return nullptr;
    Someone s;
    s.handle = h;
    const auto horses = std::count_if(people.begin(), people.end(),
                                      [](const Someone& q) { return q.name != "player"; });
    s.name = h == player ? "player" : horses ? "horse " + std::to_string(horses + 1) : "horse";
    seen.meet(s.name);
    people.push_back(s);
    return &people.back();
}

CallWatcher::Prompt* CallWatcher::prompt(Handle h) {
    for (Prompt& p : prompts)
        if (p.handle == h) return &p;
    return nullptr;
}

std::string CallWatcher::nameOf(Hash h) const {
    const auto it = names.find(h);
    if (it != names.end()) return it->second;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", h);
    return buffer;
}

// A weapon by the name the game gives it, as a play names it: the plug-in never hashes a
// weapon's name itself, so the recording holds its hash alone.
std::string CallWatcher::weaponName(Hash h) const {
    for (const std::string& name : scene::namesOf(scene::weapons()))
        if (sim::joaat(name.c_str()) == h) return name;
    return nameOf(h);
}

void CallWatcher::input(const std::string& what) {
    if (inputsThisPass.insert(what).second) seen.playerDoes(what);
}

void CallWatcher::flag(int& state, bool value, const char* yes, const char* no) {
    if (state >= 0 && state != value) input(value ? yes : no);
    state = value;
}

void CallWatcher::scenario(Someone& s, Hash to, Cause cause) {
    if (s.scenario == to) return;
    seen.scenario(s.name, to ? nameOf(to) : "", cause);
    s.scenario = to;
}

// What each game call tells of the game, a function each; those that ask about a ped are told
// the ped, and a question about no ped at all (no horse yet) tells nothing about anyone.
struct CallWatcher::Calls {
    struct Read {
        const recording_file::Call& call;
        std::int32_t answer; // the slot's low half, as the plug-in reads it
        bool yes;
        Someone* ped; // the ped it asks about, for those that ask about one

        std::uint64_t arg(int i) const {
            return i < call.argc ? call.args[static_cast<std::size_t>(i)].value : 0;
        }
        Handle handle(int i) const {
            return static_cast<Handle>(static_cast<std::uint32_t>(arg(i)));
        }
        const std::string& text(int i) const {
            return call.args[static_cast<std::size_t>(i)].text();
        }
    };
    using Watch = void (*)(CallWatcher&, const Read&);
    struct Entry {
        Watch watch;
        bool aboutAPed;
    };

    // Put in words once: the plug-in hashes the same names again at every pass.
    static void hashOfName(CallWatcher& w, const Read& r) {
        const auto hash = static_cast<Hash>(r.call.answers[0]);
        if (r.call.argc == 1 && w.names.size() < mostNames && !w.names.count(hash))
            w.names.emplace(hash, observer::readable(r.text(0)));
    }
    static void playerPed(CallWatcher& w, const Read& r) {
        w.player = r.answer;
        w.someone(w.player);
    }
    static void promptRegisterBegin(CallWatcher& w, const Read& r) {
        const std::size_t n = w.prompts.size();
        if (n < mostPrompts)
            w.prompts.push_back({r.answer,
                                 n < sim::promptNames.size() ? sim::promptNames[n]
                                                             : "prompt " + std::to_string(n + 1),
                                 "", false, false});
    }
    static void literalText(CallWatcher& w, const Read& r) {
        if (r.call.argc == 3)
            remember(w.texts, r.call.answers[0], sim::printable(r.text(2)), mostTexts);
    }
    static void promptSetText(CallWatcher& w, const Read& r) {
        if (Prompt* p = w.prompt(r.handle(0))) {
            const auto label = w.texts.find(r.arg(1));
            p->label = label == w.texts.end() ? "" : label->second;
        }
    }
    static void promptSetEnabled(CallWatcher& w, const Read& r) {
        if (Prompt* p = w.prompt(r.handle(0))) p->enabled = r.arg(1) != 0;
    }
    static void promptSetVisible(CallWatcher& w, const Read& r) {
        if (Prompt* p = w.prompt(r.handle(0))) p->visible = r.arg(1) != 0;
    }
    static void promptCompleted(CallWatcher& w, const Read& r) {
        if (const Prompt* p = w.prompt(r.handle(0)); p && r.yes) w.input("completes " + p->name);
    }
    static void controlJustPressed(CallWatcher& w, const Read& r) {
        if (r.yes) w.input("presses " + w.nameOf(static_cast<Hash>(r.arg(1))));
    }
    static void controlJustReleased(CallWatcher& w, const Read& r) {
        if (r.yes) w.input("releases " + w.nameOf(static_cast<Hash>(r.arg(1))));
    }
    static void createScenarioPoint(CallWatcher& w, const Read& r) {
        remember(w.points, r.answer, static_cast<Hash>(r.arg(0)), mostPoints);
    }
    static void useScenarioPoint(CallWatcher& w, const Read& r) {
        if (const auto point = w.points.find(r.handle(1)); point != w.points.end())
            w.scenario(*r.ped, point->second, Cause::Plugin);
    }
    static void deleteScenarioPoint(CallWatcher& w, const Read& r) { w.points.erase(r.handle(0)); }
    static void clearPedTasks(CallWatcher& w, const Read& r) {
        w.scenario(*r.ped, 0, Cause::Plugin);
    }
    static void pedUsingAnyScenario(CallWatcher& w, const Read& r) {
        if (!r.yes) w.scenario(*r.ped, 0, Cause::Game);
    }
    static void pedUsingScenario(CallWatcher& w, const Read& r) {
        const auto asked = static_cast<Hash>(r.arg(1));
        if (r.yes)
            w.scenario(*r.ped, asked, Cause::Game);
        else if (r.ped->scenario == asked)
            w.scenario(*r.ped, 0, Cause::Game);
    }
    // What the game keeps of a core it is given: 0 to 100.
    static void coreValue(CallWatcher& w, const Read& r) {
        w.seen.core(r.ped->name, static_cast<int>(r.arg(1)), std::clamp(r.answer, 0, 100),
                    Cause::Game);
    }
    static void setCoreValue(CallWatcher& w, const Read& r) {
        w.seen.core(r.ped->name, static_cast<int>(r.arg(1)),
                    std::clamp(static_cast<std::int32_t>(r.arg(2)), 0, 100), Cause::Plugin);
    }
    static void coreOverpowered(CallWatcher& w, const Read& r) {
        w.seen.overpowered(r.ped->name, r.yes, Cause::Game);
    }
    static void enableCoreOverpower(CallWatcher& w, const Read& r) {
        w.seen.overpowered(r.ped->name, true, Cause::Plugin);
    }
    static void attributePoints(CallWatcher& w, const Read& r) {
        w.seen.points(r.ped->name, r.answer, Cause::Game);
    }
    static void setAttributePoints(CallWatcher& w, const Read& r) {
        w.seen.points(r.ped->name, static_cast<std::int32_t>(r.arg(2)), Cause::Plugin);
    }
    static void discardHeldProp(CallWatcher& w, const Read& r) {
        w.seen.propsDiscarded(r.ped->name, ++r.ped->props, Cause::Plugin);
    }
    // Each pass while it lasts: a pass without it ends it.
    static void faceWashEffect(CallWatcher& w, const Read& r) {
        if (r.ped->washedInPass < w.pass - 1) w.seen.washing(r.ped->name, false);
        w.seen.washing(r.ped->name, true);
        r.ped->washedInPass = w.pass;
    }
    // What the game answers of the player, as the player's own doings.
    template <int Someone::*state>
    static void playerFlag(CallWatcher& w, const Read& r, const char* yes, const char* no) {
        if (r.handle(0) == w.player)
            if (Someone* p = w.someone(w.player)) w.flag(p->*state, r.yes, yes, no);
    }
    static void entityInWater(CallWatcher& w, const Read& r) {
        playerFlag<&Someone::inWater>(w, r, "wades in", "wades out");
    }
    static void pedIsStill(CallWatcher& w, const Read& r) {
        playerFlag<&Someone::still>(w, r, "stands still", "moves");
    }
    static void pedInCombat(CallWatcher& w, const Read& r) {
        playerFlag<&Someone::inCombat>(w, r, "fights", "stops fighting");
    }
    static void currentPedWeapon(CallWatcher& w, const Read& r) {
        const auto weapon = static_cast<Hash>(r.arg(1));
        if (r.ped->weapon && weapon != r.ped->weapon)
            w.input(weapon == sim::unarmed ? "holsters" : "draws " + w.weaponName(weapon));
        r.ped->weapon = weapon;
    }
    static void playerTargetEntity(CallWatcher& w, const Read& r) {
        const Handle aimed = r.yes ? r.handle(1) : 0;
        if (w.target >= 0 && aimed != w.target) {
            const Someone* t = aimed ? w.someone(aimed) : nullptr;
            w.input(t ? "targets " + t->name : std::string("targets nothing"));
        }
        w.target = aimed;
    }
};

namespace {

constexpr bool aboutAPed = true, notAboutAPed = false;
constexpr std::pair<std::uint64_t, CallWatcher::Calls::Entry> watched[] = {
    {op::hashOfName, {CallWatcher::Calls::hashOfName, notAboutAPed}},
    {op::playerPed, {CallWatcher::Calls::playerPed, notAboutAPed}},
    {op::promptRegisterBegin, {CallWatcher::Calls::promptRegisterBegin, notAboutAPed}},
    {op::literalText, {CallWatcher::Calls::literalText, notAboutAPed}},
    {op::promptSetText, {CallWatcher::Calls::promptSetText, notAboutAPed}},
    {op::promptSetEnabled, {CallWatcher::Calls::promptSetEnabled, notAboutAPed}},
    {op::promptSetVisible, {CallWatcher::Calls::promptSetVisible, notAboutAPed}},
    {op::promptCompleted, {CallWatcher::Calls::promptCompleted, notAboutAPed}},
    {op::controlJustPressed, {CallWatcher::Calls::controlJustPressed, notAboutAPed}},
    {op::controlJustReleased, {CallWatcher::Calls::controlJustReleased, notAboutAPed}},
    {op::createScenarioPoint, {CallWatcher::Calls::createScenarioPoint, notAboutAPed}},
    {op::useScenarioPoint, {CallWatcher::Calls::useScenarioPoint, aboutAPed}},
    {op::deleteScenarioPoint, {CallWatcher::Calls::deleteScenarioPoint, notAboutAPed}},
    {op::clearPedTasks, {CallWatcher::Calls::clearPedTasks, aboutAPed}},
    {op::pedUsingAnyScenario, {CallWatcher::Calls::pedUsingAnyScenario, aboutAPed}},
    {op::pedUsingScenario, {CallWatcher::Calls::pedUsingScenario, aboutAPed}},
    {op::coreValue, {CallWatcher::Calls::coreValue, aboutAPed}},
    {op::setCoreValue, {CallWatcher::Calls::setCoreValue, aboutAPed}},
    {op::coreOverpowered, {CallWatcher::Calls::coreOverpowered, aboutAPed}},
    {op::enableCoreOverpower, {CallWatcher::Calls::enableCoreOverpower, aboutAPed}},
    {op::attributePoints, {CallWatcher::Calls::attributePoints, aboutAPed}},
    {op::setAttributePoints, {CallWatcher::Calls::setAttributePoints, aboutAPed}},
    {op::discardHeldProp, {CallWatcher::Calls::discardHeldProp, aboutAPed}},
    {op::faceWashEffect, {CallWatcher::Calls::faceWashEffect, aboutAPed}},
    {op::entityInWater, {CallWatcher::Calls::entityInWater, notAboutAPed}},
    {op::pedIsStill, {CallWatcher::Calls::pedIsStill, notAboutAPed}},
    {op::pedInCombat, {CallWatcher::Calls::pedInCombat, notAboutAPed}},
    {op::currentPedWeapon, {CallWatcher::Calls::currentPedWeapon, aboutAPed}},
    {op::playerTargetEntity, {CallWatcher::Calls::playerTargetEntity, notAboutAPed}},
};

} // namespace

void CallWatcher::call(const recording_file::Call& c) {
    static const auto watchAt = sim::byPlace(watched);
    const Calls::Entry& entry = watchAt[sim::placeOf(c.hash)];
    if (!entry.watch) return;
    const auto answer = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.answers[0]));
    Calls::Read read{c, answer, answer != 0, nullptr};
    if (entry.aboutAPed) {
        const Handle ped = read.handle(0);
        if (ped == 0 || !(read.ped = someone(ped))) return;
    }
    entry.watch(*this, read);
}

void CallWatcher::hotkeyTest(const recording_file::Item& test) {
    const bool waited = waitsSinceTest > 1;
    waitsSinceTest = 0;
    const bool released = test.key.isUpNow && test.key.time != keyTime;
    keyTime = test.key.time;
    if (!released) return;
    // Only what the test saw: a release it never took is told at its own time, with why.
    if (const std::string why = keys::unseen(test.key.time, test.now, waited); !why.empty()) {
        const std::int64_t now = seen.now;
        seen.now = std::max<std::int64_t>(0, now - (test.now - test.key.time));
        input("releases " + keys::nameOf(keys::Hotkey{hotkey.code, 0}) + ": " + why);
        seen.now = now;
        return;
    }
    // Read as the plug-in reads them: held as the key was let go, or not.
    bool held = true;
    for (std::size_t i = 0; i < test.modifiersRead; ++i)
        held = held &&
               heldAt({test.modifierKeys[i].time, test.modifierKeys[i].isUpNow}, test.key.time);
    if (held)
        input("releases the hotkey, " + keys::describe(hotkey));
    else
        input("releases " + keys::nameOf(hotkey.code) + " without " +
              keys::modifiersOf(hotkey.modifiers) + " held");
}

void CallWatcher::passBegins() {
    ++pass;
    inputsThisPass.clear();
}

void CallWatcher::sessionLoads(std::int64_t loadingMs) {
    prompts.clear();
    points.clear();
    seen.sessionLoads(loadingMs, Cause::Game);
}

void CallWatcher::frameDrawn() {
    std::vector<observer::OnScreen> shown;
    for (const Prompt& p : prompts)
        if (p.enabled && p.visible) shown.push_back({p.name, p.label});
    seen.screen(shown);
}

void CallWatcher::finish(std::uint64_t lastPassCalls) {
    if (lastPassCalls) seen.history.callsPerPass.push_back(lastPassCalls);
    seen.finish();
    seen.history.pointsLeft = points.size();
}

CallWatcher CallWatcher::fork() const {
    CallWatcher other = *this;
    other.seen.history = {};
    return other;
}
