#include "emberlane-sim/call_watcher.h"

#include "emberlane-sim/keys.h"
#include "emberlane-sim/scene.h"
#include "host/keyboard.h"
#include "sim/game.h"
#include "sim/printable.h"
#include "sim/sim.h"

#include <algorithm>
#include <iterator>

namespace {

using observer::Cause;
using recording_file::format::Answer;

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

void CallWatcher::call(const recording_file::Call& c) {
    auto arg = [&c](int i) { return i < c.argc ? c.args[static_cast<std::size_t>(i)].value : 0; };
    auto handle = [&](int i) { return static_cast<Handle>(static_cast<std::uint32_t>(arg(i))); };
    auto text = [&c](int i) { return c.args[static_cast<std::size_t>(i)].text(); };
    const auto answer = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.answers[0]));
    const bool yes = answer != 0;
    // A question about no ped at all (no horse yet) tells nothing about anyone.
    static constexpr std::uint64_t aboutAPed[] = {
        op::useScenarioPoint,   op::clearPedTasks,       op::pedUsingAnyScenario,
        op::pedUsingScenario,   op::coreValue,           op::setCoreValue,
        op::coreOverpowered,    op::enableCoreOverpower, op::attributePoints,
        op::setAttributePoints, op::discardHeldProp,     op::faceWashEffect,
        op::currentPedWeapon};
    const bool asksAboutAPed =
        std::find(std::begin(aboutAPed), std::end(aboutAPed), c.hash) != std::end(aboutAPed);
    if (asksAboutAPed && handle(0) == 0) return;
    Someone* s = asksAboutAPed ? someone(handle(0)) : nullptr;
    if (asksAboutAPed && !s) return;
    switch (c.hash) {
    case op::hashOfName:
        // Put in words once: the plug-in hashes the same names again at every pass.
        if (const auto hash = static_cast<Hash>(c.answers[0]);
            c.argc == 1 && names.size() < mostNames && !names.count(hash))
            names.emplace(hash, observer::readable(text(0)));
        break;
    case op::playerPed:
        player = answer;
        someone(player);
        break;
    case op::promptRegisterBegin: {
        const std::size_t n = prompts.size();
        if (n < mostPrompts)
            prompts.push_back({answer,
                               n < sim::promptNames.size() ? sim::promptNames[n]
                                                           : "prompt " + std::to_string(n + 1),
                               "", false, false});
        break;
    }
    case op::literalText:
        if (c.argc == 3) remember(texts, c.answers[0], sim::printable(text(2)), mostTexts);
        break;
    case op::promptSetText:
        if (Prompt* p = prompt(handle(0))) {
            const auto label = texts.find(arg(1));
            p->label = label == texts.end() ? "" : label->second;
        }
        break;
    case op::promptSetEnabled:
        if (Prompt* p = prompt(handle(0))) p->enabled = arg(1) != 0;
        break;
    case op::promptSetVisible:
        if (Prompt* p = prompt(handle(0))) p->visible = arg(1) != 0;
        break;
    case op::promptCompleted:
        if (const Prompt* p = prompt(handle(0)); p && yes) input("completes " + p->name);
        break;
    case op::controlJustPressed:
        if (yes) input("presses " + nameOf(static_cast<Hash>(arg(1))));
        break;
    case op::controlJustReleased:
        if (yes) input("releases " + nameOf(static_cast<Hash>(arg(1))));
        break;
    case op::createScenarioPoint:
        remember(points, answer, static_cast<Hash>(arg(0)), mostPoints);
        break;
    case op::useScenarioPoint:
        if (const auto point = points.find(handle(1)); point != points.end())
            scenario(*s, point->second, Cause::Plugin);
        break;
    case op::deleteScenarioPoint:
        points.erase(handle(0));
        break;
    case op::clearPedTasks:
        scenario(*s, 0, Cause::Plugin);
        break;
    case op::pedUsingAnyScenario:
        if (!yes) scenario(*s, 0, Cause::Game);
        break;
    case op::pedUsingScenario: {
        const auto asked = static_cast<Hash>(arg(1));
        if (yes)
            scenario(*s, asked, Cause::Game);
        else if (s->scenario == asked)
            scenario(*s, 0, Cause::Game);
        break;
    }
    // What the game keeps of a core it is given: 0 to 100.
    case op::coreValue:
        seen.core(s->name, static_cast<int>(arg(1)), std::clamp(answer, 0, 100), Cause::Game);
        break;
    case op::setCoreValue:
        seen.core(s->name, static_cast<int>(arg(1)),
                  std::clamp(static_cast<std::int32_t>(arg(2)), 0, 100), Cause::Plugin);
        break;
    case op::coreOverpowered:
        seen.overpowered(s->name, yes, Cause::Game);
        break;
    case op::enableCoreOverpower:
        seen.overpowered(s->name, true, Cause::Plugin);
        break;
    case op::attributePoints:
        seen.points(s->name, answer, Cause::Game);
        break;
    case op::setAttributePoints:
        seen.points(s->name, static_cast<std::int32_t>(arg(2)), Cause::Plugin);
        break;
    case op::discardHeldProp:
        seen.propsDiscarded(s->name, ++s->props, Cause::Plugin);
        break;
    case op::faceWashEffect:
        // Each pass while it lasts: a pass without it ends it.
        if (s->washedInPass < pass - 1) seen.washing(s->name, false);
        seen.washing(s->name, true);
        s->washedInPass = pass;
        break;
    case op::entityInWater:
        if (handle(0) == player)
            if (Someone* p = someone(player)) flag(p->inWater, yes, "wades in", "wades out");
        break;
    case op::pedIsStill:
        if (handle(0) == player)
            if (Someone* p = someone(player)) flag(p->still, yes, "stands still", "moves");
        break;
    case op::pedInCombat:
        if (handle(0) == player)
            if (Someone* p = someone(player)) flag(p->inCombat, yes, "fights", "stops fighting");
        break;
    case op::currentPedWeapon: {
        const auto weapon = static_cast<Hash>(arg(1));
        if (s->weapon && weapon != s->weapon)
            input(weapon == sim::unarmed ? "holsters" : "draws " + weaponName(weapon));
        s->weapon = weapon;
        break;
    }
    case op::playerTargetEntity: {
        const Handle aimed = yes ? handle(1) : 0;
        if (target >= 0 && aimed != target) {
            const Someone* t = aimed ? someone(aimed) : nullptr;
            input(t ? "targets " + t->name : std::string("targets nothing"));
        }
        target = aimed;
        break;
    }
    default:
        break;
    }
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
