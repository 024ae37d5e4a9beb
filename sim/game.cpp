#include "sim/game.h"

#include "host/native_hashes.h"
#include "sim/errors.h"
#include "sim/native_table.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace sim {

Hash joaat(const char* name) {
    std::uint32_t h = 0;
    for (const char* p = name; *p; ++p) {
        char c = *p;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        h += static_cast<unsigned char>(c);
        h += h << 10;
        h ^= h >> 6;
    }
    h += h << 3;
    h ^= h >> 11;
    h += h << 15;
    return h;
}

Entity* Game::entity(Handle h) {
    for (Entity& e : entities)
        if (e.handle == h && h != 0) return &e;
    return nullptr;
}

const Entity* Game::entity(Handle h) const { return const_cast<Game*>(this)->entity(h); }

Prompt* Game::prompt(Handle h) {
    for (Prompt& p : prompts)
        if (p.handle == h) return &p;
    return nullptr;
}

Prompt* Game::runPrompt(std::size_t i) {
    return promptsFrom + i < prompts.size() ? &prompts[promptsFrom + i] : nullptr;
}

const Prompt* Game::runPrompt(std::size_t i) const { return const_cast<Game*>(this)->runPrompt(i); }

const ScenarioPoint* Game::point(Handle h) const {
    for (const ScenarioPoint& p : points)
        if (p.handle == h && h != 0) return &p;
    return nullptr;
}

Handle Game::spawn(Entity e) {
    if (e.handle == 0) e.handle = static_cast<Handle>(1026 + 256 * entities.size());
    entities.push_back(e);
    return e.handle;
}

Hash Game::remember(const char* name) {
    const Hash h = joaat(name);
    if (names.find(h) == names.end()) names.emplace(h, name);
    return h;
}

std::string Game::nameOf(Hash h) const {
    const auto it = names.find(h);
    if (it != names.end()) return it->second;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", h);
    return buffer;
}

void Game::tick() {
    for (Entity& e : entities) {
        if (e.scenario != 0 && e.scenarioTimed && now - e.scenarioEnds >= 0) {
            e.scenario = 0;
            e.scenarioPoint = 0;
            e.scenarioTimed = false;
        }
        if (e.overpowered && now - e.overpowerEnds >= 0) e.overpowered = false;
    }
}

void Game::releaseRun() {
    for (Prompt& p : prompts) {
        p.released = true;
        p.enabled = p.visible = false;
    }
    promptsFrom = prompts.size();
    for (ScenarioPoint& p : points) p.deleted = true;
    for (Entity& e : entities)
        if (e.scenarioPoint != 0) {
            e.scenario = 0;
            e.scenarioPoint = 0;
            e.scenarioTimed = false;
        }
}

std::size_t Game::pointsLeftUndeleted() const {
    return static_cast<std::size_t>(std::count_if(
        points.begin(), points.end(), [](const ScenarioPoint& p) { return !p.deleted; }));
}

namespace {

std::int32_t i32(std::uint64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}
float f32(std::uint64_t v) { return std::bit_cast<float>(static_cast<std::uint32_t>(v)); }
std::uint64_t out(std::int32_t v) { return static_cast<std::uint32_t>(v); }
std::uint64_t out(bool v) { return v ? 1 : 0; }
std::uint64_t out(float v) { return std::bit_cast<std::uint32_t>(v); }

template <typename T>
T* address(std::uint64_t v) {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(v));
}

std::int32_t nextRandom(Game& g, std::int32_t low, std::int32_t high) {
    if (!g.forcedRandom.empty()) {
        const std::int32_t v = g.forcedRandom.front();
        g.forcedRandom.pop_front();
        return v;
    }
    // splitmix64: the same picks for the same seed, on every platform
    std::uint64_t z = (g.rng += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    if (high <= low) return low;
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low);
    return static_cast<std::int32_t>(low + static_cast<std::int64_t>(z % span));
}

bool justPressed(const std::unordered_map<Hash, std::int64_t>& frames, Hash control,
                 std::int64_t frame) {
    const auto it = frames.find(control);
    return it != frames.end() && it->second == frame;
}

void sendToPoint(Game& g, Handle pedHandle, Handle pointHandle, std::int32_t duration) {
    Entity* ped = g.entity(pedHandle);
    const ScenarioPoint* point = g.point(pointHandle);
    if (!ped || !ped->exists || !point || point->deleted) return;
    ped->scenario = point->scenario;
    ped->scenarioPoint = point->handle;
    ped->scenarioTimed = duration != -1;
    ped->scenarioEnds = g.now + duration;
}

// The ped or entity a call names by its first argument, when it exists.
Entity* subject(Game& g, std::uint64_t handle) {
    Entity* e = g.entity(i32(handle));
    return e && e->exists ? e : nullptr;
}

// Each game call the stand-in game models, answered by a function of its own: the arguments
// as pushed, the three result slots zeroed.
using Args = const std::uint64_t*;
using Result = std::uint64_t*;

void hashOfName(Game& g, Args a, Result r) { r[0] = g.remember(address<const char>(a[0])); }
void gameTimer(Game& g, Args, Result r) { r[0] = out(g.now); }
void currentLanguage(Game& g, Args, Result r) { r[0] = out(g.language); }
void randomInt(Game& g, Args a, Result r) { r[0] = out(nextRandom(g, i32(a[0]), i32(a[1]))); }
void playerPed(Game& g, Args, Result r) { r[0] = out(g.playerPed); }
void playerIndex(Game& g, Args, Result r) { r[0] = out(g.playerIndex); }

void playerTargetEntity(Game& g, Args a, Result r) {
    auto* slot = address<std::int32_t>(a[1]);
    if (g.target != 0)
        *slot = g.target;
    else if (g.targetQueryClearsSlot)
        *slot = 0;
    r[0] = out(g.target != 0);
}

void entityExists(Game& g, Args a, Result r) { r[0] = out(subject(g, a[0]) != nullptr); }

void entityModel(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = e ? e->model : 0;
}

void modelIsHorse(Game& g, Args a, Result r) {
    r[0] = out(std::find(g.horseModels.begin(), g.horseModels.end(), static_cast<Hash>(a[0])) !=
               g.horseModels.end());
}

void entityHeading(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = out(e ? e->heading : 0.0f);
}

void entityCoords(Game& g, Args a, Result r) {
    if (const Entity* e = subject(g, a[0])) {
        r[0] = out(e->position.x);
        r[1] = out(e->position.y);
        r[2] = out(e->position.z);
    }
}

void distanceBetweenCoords(Game&, Args a, Result r) {
    const float dx = f32(a[0]) - f32(a[3]), dy = f32(a[1]) - f32(a[4]);
    const float dz = a[6] ? f32(a[2]) - f32(a[5]) : 0.0f;
    r[0] = out(std::sqrt(dx * dx + dy * dy + dz * dz));
}

void promptGroupOfTarget(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = out(e ? e->promptGroup : 0);
}

// A yes-or-no question about a ped: no such ped answers no.
template <bool Entity::*flag>
void pedIs(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = out(e && e->*flag);
}

void currentPedWeapon(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    *address<Hash>(a[1]) = e ? e->weapon : unarmed;
    r[0] = out(true);
}

void pedUsingScenario(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = out(e && e->scenario != 0 && e->scenario == static_cast<Hash>(a[1]));
}

void pedUsingAnyScenario(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = out(e && e->scenario != 0);
}

void createScenarioPoint(Game& g, Args a, Result r) {
    ScenarioPoint p;
    p.handle = static_cast<Handle>(0x5C000 + g.points.size() + 1);
    p.scenario = static_cast<Hash>(a[0]);
    p.position = {f32(a[1]), f32(a[2]), f32(a[3])};
    p.heading = f32(a[4]);
    g.points.push_back(p);
    r[0] = out(p.handle);
}

void useScenarioPoint(Game& g, Args a, Result) { sendToPoint(g, i32(a[0]), i32(a[1]), i32(a[3])); }

void deleteScenarioPoint(Game& g, Args a, Result) {
    for (ScenarioPoint& p : g.points)
        if (p.handle == i32(a[0])) p.deleted = true;
}

void clearPedTasks(Game& g, Args a, Result) {
    if (Entity* e = subject(g, a[0])) {
        e->scenario = 0;
        e->scenarioPoint = 0;
        e->scenarioTimed = false;
    }
}

void discardHeldProp(Game& g, Args a, Result) {
    if (Entity* e = subject(g, a[0])) ++e->propsDiscarded;
}

void nothing(Game&, Args, Result) {} // the camera's easing: nothing the model keeps

void faceWashEffect(Game& g, Args a, Result) {
    if (Entity* e = subject(g, a[0])) ++e->faceWashEffects;
}

// The cores the model keeps: 0 health and 1 stamina.
Entity* withCore(Game& g, Args a) {
    Entity* e = subject(g, a[0]);
    const std::int32_t core = i32(a[1]);
    return e && (core == 0 || core == 1) ? e : nullptr;
}

void coreValue(Game& g, Args a, Result r) {
    const Entity* e = withCore(g, a);
    r[0] = out(e ? e->cores[i32(a[1])] : 0);
}

void setCoreValue(Game& g, Args a, Result) {
    if (Entity* e = withCore(g, a)) e->cores[i32(a[1])] = std::clamp(i32(a[2]), 0, 100);
}

void coreOverpowered(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = out(e && i32(a[1]) == 1 && e->overpowered);
}

void enableCoreOverpower(Game& g, Args a, Result) {
    Entity* e = subject(g, a[0]);
    if (!e || i32(a[1]) != 1) return;
    e->overpowered = true;
    e->overpowerEnds = g.now + g.overpowerMs;
}

void attributePoints(Game& g, Args a, Result r) {
    const Entity* e = subject(g, a[0]);
    r[0] = out(e && i32(a[1]) == 13 ? e->attributePoints13 : 0);
}

void setAttributePoints(Game& g, Args a, Result) {
    Entity* e = subject(g, a[0]);
    if (e && i32(a[1]) == 13) e->attributePoints13 = i32(a[2]);
}

void controlJustPressed(Game& g, Args a, Result r) {
    r[0] = out(i32(a[0]) == 0 && justPressed(g.pressedFrame, static_cast<Hash>(a[1]), g.frame));
}

void controlJustReleased(Game& g, Args a, Result r) {
    r[0] = out(i32(a[0]) == 0 && justPressed(g.releasedFrame, static_cast<Hash>(a[1]), g.frame));
}

void usingKeyboardAndMouse(Game& g, Args, Result r) { r[0] = out(g.usingKeyboardAndMouse); }

void promptRegisterBegin(Game& g, Args, Result r) {
    Prompt p;
    p.handle = static_cast<Handle>(0x700 + g.prompts.size() * 3 + 1);
    g.prompts.push_back(p);
    r[0] = out(p.handle);
}

// A game text handle fills the whole slot; a plug-in that keeps only 32 bits of it is caught
// when it hands the text back.
void literalText(Game& g, Args a, Result r) {
    g.texts.emplace_back(address<const char>(a[2]) ? address<const char>(a[2]) : "");
    r[0] = 0x7E57000000000000ull + g.texts.size();
}

// The prompt the first argument names: one the game gave out, of the script's current run.
Prompt& promptOf(Game& g, Args a) {
    Prompt* p = g.prompt(i32(a[0]));
    if (!p) throw GameError("prompt call on a handle the game never gave out");
    if (p->released) throw GameError("prompt call on a prompt of a run that a load ended");
    return *p;
}

void promptSetControlAction(Game& g, Args a, Result) {
    promptOf(g, a).control = static_cast<Hash>(a[1]);
}

void promptSetText(Game& g, Args a, Result) {
    Prompt& p = promptOf(g, a);
    const std::uint64_t index = a[1] - 0x7E57000000000000ull;
    if (a[1] < 0x7E57000000000001ull || index > g.texts.size())
        throw GameError("prompt text set from a handle the game never gave out");
    p.label = g.texts[index - 1];
}

void promptSetStandardMode(Game& g, Args a, Result) { promptOf(g, a).standardMode = a[1] != 0; }
void promptRegisterEnd(Game& g, Args a, Result) { promptOf(g, a).registered = true; }
void promptSetEnabled(Game& g, Args a, Result) { promptOf(g, a).enabled = a[1] != 0; }
void promptSetVisible(Game& g, Args a, Result) { promptOf(g, a).visible = a[1] != 0; }

void promptCompleted(Game& g, Args a, Result r) {
    r[0] = out(promptOf(g, a).completedFrame == g.frame);
}

void promptSetGroup(Game& g, Args a, Result) { promptOf(g, a).group = i32(a[1]); }

using Answer = void (*)(Game&, Args, Result);

constexpr std::pair<std::uint64_t, Answer> answers[] = {
    {op::hashOfName, hashOfName},
    {op::gameTimer, gameTimer},
    {op::currentLanguage, currentLanguage},
    {op::randomInt, randomInt},
    {op::playerPed, playerPed},
    {op::playerIndex, playerIndex},
    {op::playerTargetEntity, playerTargetEntity},
    {op::entityExists, entityExists},
    {op::entityModel, entityModel},
    {op::modelIsHorse, modelIsHorse},
    {op::entityHeading, entityHeading},
    {op::entityCoords, entityCoords},
    {op::distanceBetweenCoords, distanceBetweenCoords},
    {op::promptGroupOfTarget, promptGroupOfTarget},
    {op::pedIsStill, pedIs<&Entity::still>},
    {op::pedInCombat, pedIs<&Entity::inCombat>},
    {op::entityInWater, pedIs<&Entity::inWater>},
    {op::pedBusyWithHorse, pedIs<&Entity::leadingHorse>},
    {op::currentPedWeapon, currentPedWeapon},
    {op::pedUsingScenario, pedUsingScenario},
    {op::pedUsingAnyScenario, pedUsingAnyScenario},
    {op::createScenarioPoint, createScenarioPoint},
    {op::useScenarioPoint, useScenarioPoint},
    {op::deleteScenarioPoint, deleteScenarioPoint},
    {op::clearPedTasks, clearPedTasks},
    {op::discardHeldProp, discardHeldProp},
    {op::scenarioEase, nothing},
    {op::afterScenarioEase, nothing},
    {op::faceWashEffect, faceWashEffect},
    {op::coreValue, coreValue},
    {op::setCoreValue, setCoreValue},
    {op::coreOverpowered, coreOverpowered},
    {op::enableCoreOverpower, enableCoreOverpower},
    {op::attributePoints, attributePoints},
    {op::setAttributePoints, setAttributePoints},
    {op::controlJustPressed, controlJustPressed},
    {op::controlJustReleased, controlJustReleased},
    {op::usingKeyboardAndMouse, usingKeyboardAndMouse},
    {op::promptRegisterBegin, promptRegisterBegin},
    {op::literalText, literalText},
    {op::promptSetControlAction, promptSetControlAction},
    {op::promptSetText, promptSetText},
    {op::promptSetStandardMode, promptSetStandardMode},
    {op::promptRegisterEnd, promptRegisterEnd},
    {op::promptSetEnabled, promptSetEnabled},
    {op::promptSetVisible, promptSetVisible},
    {op::promptCompleted, promptCompleted},
    {op::promptSetGroup, promptSetGroup},
};

} // namespace

void answer(Game& g, std::uint64_t hash, const std::uint64_t* a, std::size_t, std::uint64_t r[3]) {
    r[0] = r[1] = r[2] = 0;
    static const auto answerAt = byPlace(answers);
    const Answer answerIt = answerAt[placeOf(hash)];
    if (!answerIt) throw GameError("native the stand-in game does not model");
    answerIt(g, a, r);
}

} // namespace sim
