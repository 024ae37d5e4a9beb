#include "sim/game.h"

#include "host/native_hashes.h"
#include "sim/errors.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

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

} // namespace

void answer(Game& g, std::uint64_t hash, const std::uint64_t* a, std::size_t, std::uint64_t r[3]) {
    r[0] = r[1] = r[2] = 0;
    Entity* e = nullptr;
    auto subject = [&](std::uint64_t v) -> Entity* {
        e = g.entity(i32(v));
        return e && e->exists ? e : nullptr;
    };
    switch (hash) {
    case op::hashOfName:
        r[0] = g.remember(address<const char>(a[0]));
        return;
    case op::gameTimer:
        r[0] = out(g.now);
        return;
    case op::currentLanguage:
        r[0] = out(g.language);
        return;
    case op::randomInt:
        r[0] = out(nextRandom(g, i32(a[0]), i32(a[1])));
        return;
    case op::playerPed:
        r[0] = out(g.playerPed);
        return;
    case op::playerIndex:
        r[0] = out(g.playerIndex);
        return;
    case op::playerTargetEntity: {
        auto* slot = address<std::int32_t>(a[1]);
        if (g.target != 0)
            *slot = g.target;
        else if (g.targetQueryClearsSlot)
            *slot = 0;
        r[0] = out(g.target != 0);
        return;
    }
    case op::entityExists:
        r[0] = out(subject(a[0]) != nullptr);
        return;
    case op::entityModel:
        r[0] = subject(a[0]) ? e->model : 0;
        return;
    case op::modelIsHorse:
        r[0] = out(std::find(g.horseModels.begin(), g.horseModels.end(), static_cast<Hash>(a[0])) !=
                   g.horseModels.end());
        return;
    case op::entityHeading:
        r[0] = out(subject(a[0]) ? e->heading : 0.0f);
        return;
    case op::entityCoords:
        if (subject(a[0])) {
            r[0] = out(e->position.x);
            r[1] = out(e->position.y);
            r[2] = out(e->position.z);
        }
        return;
    case op::distanceBetweenCoords: {
        const float dx = f32(a[0]) - f32(a[3]), dy = f32(a[1]) - f32(a[4]);
        const float dz = a[6] ? f32(a[2]) - f32(a[5]) : 0.0f;
        r[0] = out(std::sqrt(dx * dx + dy * dy + dz * dz));
        return;
    }
    case op::promptGroupOfTarget:
        r[0] = out(subject(a[0]) ? e->promptGroup : 0);
        return;
    case op::pedIsStill:
        r[0] = out(subject(a[0]) && e->still);
        return;
    case op::pedInCombat:
        r[0] = out(subject(a[0]) && e->inCombat);
        return;
    case op::entityInWater:
        r[0] = out(subject(a[0]) && e->inWater);
        return;
    case op::pedBusyWithHorse:
        r[0] = out(subject(a[0]) && e->leadingHorse);
        return;
    case op::currentPedWeapon:
        *address<Hash>(a[1]) = subject(a[0]) ? e->weapon : unarmed;
        r[0] = out(true);
        return;
    case op::pedUsingScenario:
        r[0] = out(subject(a[0]) && e->scenario != 0 && e->scenario == static_cast<Hash>(a[1]));
        return;
    case op::pedUsingAnyScenario:
        r[0] = out(subject(a[0]) && e->scenario != 0);
        return;
    case op::createScenarioPoint: {
        ScenarioPoint p;
        p.handle = static_cast<Handle>(0x5C000 + g.points.size() + 1);
        p.scenario = static_cast<Hash>(a[0]);
        p.position = {f32(a[1]), f32(a[2]), f32(a[3])};
        p.heading = f32(a[4]);
        g.points.push_back(p);
        r[0] = out(p.handle);
        return;
    }
    case op::useScenarioPoint:
        sendToPoint(g, i32(a[0]), i32(a[1]), i32(a[3]));
        return;
    case op::deleteScenarioPoint:
        for (ScenarioPoint& p : g.points)
            if (p.handle == i32(a[0])) p.deleted = true;
        return;
    case op::clearPedTasks:
        if (subject(a[0])) {
            e->scenario = 0;
            e->scenarioPoint = 0;
            e->scenarioTimed = false;
        }
        return;
    case op::discardHeldProp:
        if (subject(a[0])) ++e->propsDiscarded;
        return;
    case op::scenarioEase:
    case op::afterScenarioEase:
        return;
    case op::faceWashEffect:
        if (subject(a[0])) ++e->faceWashEffects;
        return;
    case op::coreValue: {
        const std::int32_t core = i32(a[1]);
        r[0] = out(subject(a[0]) && (core == 0 || core == 1) ? e->cores[core] : 0);
        return;
    }
    case op::setCoreValue: {
        const std::int32_t core = i32(a[1]);
        if (subject(a[0]) && (core == 0 || core == 1))
            e->cores[core] = std::clamp(i32(a[2]), 0, 100);
        return;
    }
    case op::coreOverpowered:
        r[0] = out(subject(a[0]) && i32(a[1]) == 1 && e->overpowered);
        return;
    case op::enableCoreOverpower:
        if (subject(a[0]) && i32(a[1]) == 1) {
            e->overpowered = true;
            e->overpowerEnds = g.now + g.overpowerMs;
        }
        return;
    case op::attributePoints:
        r[0] = out(subject(a[0]) && i32(a[1]) == 13 ? e->attributePoints13 : 0);
        return;
    case op::setAttributePoints:
        if (subject(a[0]) && i32(a[1]) == 13) e->attributePoints13 = i32(a[2]);
        return;
    case op::controlJustPressed:
        r[0] = out(i32(a[0]) == 0 && justPressed(g.pressedFrame, static_cast<Hash>(a[1]), g.frame));
        return;
    case op::controlJustReleased:
        r[0] =
            out(i32(a[0]) == 0 && justPressed(g.releasedFrame, static_cast<Hash>(a[1]), g.frame));
        return;
    case op::usingKeyboardAndMouse:
        r[0] = out(g.usingKeyboardAndMouse);
        return;
    case op::promptRegisterBegin: {
        Prompt p;
        p.handle = static_cast<Handle>(0x700 + g.prompts.size() * 3 + 1);
        g.prompts.push_back(p);
        r[0] = out(p.handle);
        return;
    }
    case op::literalText: {
        // A game text handle fills the whole slot; a plug-in that keeps only 32 bits of it
        // is caught when it hands the text back.
        g.texts.emplace_back(address<const char>(a[2]) ? address<const char>(a[2]) : "");
        r[0] = 0x7E57000000000000ull + g.texts.size();
        return;
    }
    default:
        break;
    }

    // Prompt operations
    Prompt* p = g.prompt(i32(a[0]));
    if (!p) throw GameError("prompt call on a handle the game never gave out");
    if (p->released) throw GameError("prompt call on a prompt of a run that a load ended");
    switch (hash) {
    case op::promptSetControlAction:
        p->control = static_cast<Hash>(a[1]);
        return;
    case op::promptSetText: {
        const std::uint64_t index = a[1] - 0x7E57000000000000ull;
        if (a[1] < 0x7E57000000000001ull || index > g.texts.size())
            throw GameError("prompt text set from a handle the game never gave out");
        p->label = g.texts[index - 1];
        return;
    }
    case op::promptSetStandardMode:
        p->standardMode = a[1] != 0;
        return;
    case op::promptRegisterEnd:
        p->registered = true;
        return;
    case op::promptSetEnabled:
        p->enabled = a[1] != 0;
        return;
    case op::promptSetVisible:
        p->visible = a[1] != 0;
        return;
    case op::promptCompleted:
        r[0] = out(p->completedFrame == g.frame);
        return;
    case op::promptSetGroup:
        p->group = i32(a[1]);
        return;
    default:
        break;
    }
    throw GameError("native the stand-in game does not model");
}

} // namespace sim
