#include "sim/sim.h"

#include "sim/errors.h"
#include "sim/loader.h"
#include "sim/native_table.h"
#include "sim/printable.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#ifndef EMBERLANE_PLUGIN_PATH
#define EMBERLANE_PLUGIN_PATH "libemberlane.so"
#endif

namespace sim {

bool lastUnloadComplete = false;

std::string defaultPluginPath() {
    if (const char* path = std::getenv("EMBERLANE_PLUGIN")) return path;
    return EMBERLANE_PLUGIN_PATH;
}

namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

std::string floatText(float f) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, f).ptr;
    return std::string(buffer, end);
}

// A fresh folder of its own for each session, under the system's temporary folder.
std::string makeGameFolder() {
    static std::uint64_t counter = 0;
    std::random_device entropy;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto dir =
            base / ("emberlane-sim-" + std::to_string(entropy()) + "-" + std::to_string(++counter));
        if (std::filesystem::create_directory(dir)) return dir.string();
    }
    throw GameError("cannot make a game folder");
}

} // namespace

Sim::Sim(Options options) : host((resetHost(), sim::host())), game(host.game) {
    pluginPath = options.plugin.empty() ? defaultPluginPath() : options.plugin;
    pluginPath = std::filesystem::absolute(pluginPath).string();

    // The plug-in reads its two files from the current directory, as in the game's folder.
    directory = makeGameFolder();
    if (options.ini) writeFile(directory + "/Emberlane.ini", *options.ini);
    setLabelFile(options.dat);
    oldDirectory = std::filesystem::current_path().string();
    if (!options.keepRecording.empty())
        keepRecording = std::filesystem::absolute(options.keepRecording).string();
    std::filesystem::current_path(directory);
    if (options.beforeLoad) options.beforeLoad();

    host.frameMs = options.frameMs;
    host.startTime = options.startTime;
    game.now = options.startTime;
    game.tickBase = options.tickBase;
    host.tickCount = options.tickBase;
    game.rng = options.seed;
    game.language = options.language;
    host.onScriptRegister = options.onScriptRegister;

    Entity me;
    me.position = {100.0f, 200.0f, 30.0f};
    me.heading = 90.0f;
    me.model = game.remember("PLAYER_ZERO");
    player = game.spawn(me);
    game.playerPed = player;

    game.entities.reserve(256);
    host.trace = [this](const Call& c) {
        if (loggingCalls) {
            rawCalls.push_back(c);
            calls.push_back(describe(c));
        }
        if (trace) trace(c);
    };

    // Loading runs the plug-in's static initialisers (its settings), then the loader's
    // attach notification, as the game's loader does.
    std::string error;
    module = loader::load(pluginPath, error);
    if (!module) {
        std::filesystem::current_path(oldDirectory);
        throw GameError("cannot load the plug-in " + pluginPath + ": " + error);
    }
}

void Sim::load(int loadingMs) { loadSession(loadingMs); }

void Sim::setLabelFile(const std::optional<std::string>& text) {
    const std::string path = directory + "/Emberlane.dat";
    std::error_code ignored;
    if (text)
        writeFile(path, *text);
    else
        std::filesystem::remove(path, ignored);
}

void Sim::unload() {
    if (!module) return;
    loader::unload(module);
    module = nullptr;
    lastUnloadComplete = !loader::stillLoaded(pluginPath);
    if (host.script) throw GameError("the plug-in was unloaded with its script still registered");
}

std::string withRecording(const std::optional<std::string>& ini) {
    std::string text = ini.value_or("");
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (line == "[SETTINGS]")
            return text.insert(std::min(end + 1, text.size()),
                               std::string(end == text.size() ? "\n" : "") + "RECORD_SESSION=1\n");
        start = end + 1;
    }
    return text + (text.empty() || text.back() == '\n' ? "" : "\n") +
           "[SETTINGS]\nRECORD_SESSION=1\n";
}

std::string Sim::describeFloat(float f) { return floatText(f); }

BOOL Sim::notify(DWORD reason) { return loader::notify(module, reason); }

Sim::~Sim() {
    try {
        unload();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "emberlane-sim: while unloading: %s\n", e.what());
    }
    std::error_code ignored;
    if (!keepRecording.empty())
        std::filesystem::copy_file(directory + "/Emberlane.rec", keepRecording,
                                   std::filesystem::copy_options::overwrite_existing, ignored);
    std::filesystem::current_path(oldDirectory, ignored);
    std::filesystem::remove_all(directory, ignored);
}

void Sim::frame(int n) {
    for (int i = 0; i < n; ++i) runFrame();
}

void Sim::advance(int ms) {
    const std::int64_t until = host.elapsedMs + ms;
    while (host.elapsedMs < until) runFrame();
}

Entity& Sim::me() { return *game.entity(player); }
void Sim::standAt(float x, float y, float z, float heading) {
    me().position = {x, y, z};
    me().heading = heading;
}
void Sim::wadeIntoWater() { me().inWater = true; }
void Sim::wadeOutOfWater() { me().inWater = false; }
void Sim::walk() { me().still = false; }
void Sim::standStill() { me().still = true; }
void Sim::drawWeapon(const char* weapon) { me().weapon = game.remember(weapon); }
void Sim::holster() { me().weapon = unarmed; }
void Sim::startCombat() { me().inCombat = true; }
void Sim::stopCombat() { me().inCombat = false; }

void Sim::press(const char* control) { game.pressedFrame[game.remember(control)] = game.frame + 1; }
void Sim::release(const char* control) {
    game.releasedFrame[game.remember(control)] = game.frame + 1;
}
void Sim::pressKey(DWORD key) { sendKey(key, false); }
void Sim::releaseKey(DWORD key) { sendKey(key, true, true); }

void Sim::pressKeys(DWORD key, std::uint8_t modifiers) {
    for (const auto& [bit, code] : modifierKeyCodes)
        if (modifiers & bit) pressKey(code);
    pressKey(key);
    releaseKey(key);
    for (const auto& [bit, code] : modifierKeyCodes)
        if (modifiers & bit) releaseKey(code);
}

Prompt& Sim::prompt(const char* name) {
    for (std::size_t i = 0; i < promptNames.size(); ++i)
        if (std::strcmp(promptNames[i], name) == 0) {
            if (Prompt* p = game.runPrompt(i)) return *p;
            throw GameError(std::string(name) + " was never created" +
                            (game.promptsFrom ? " since the last load" : ""));
        }
    throw GameError(std::string("no prompt named ") + name);
}

bool Sim::shown(const char* name) {
    const Prompt& p = prompt(name);
    return p.enabled && p.visible;
}

void Sim::complete(const char* name) {
    if (!shown(name)) throw GameError(std::string(name) + " is not on screen to complete");
    forceCompletion(name);
}

void Sim::forceCompletion(const char* name) { prompt(name).completedFrame = game.frame + 1; }

void Sim::setScenario(Handle ped, const char* scenario) {
    Entity* e = game.entity(ped);
    if (!e) throw GameError("no such ped");
    e->scenario = game.remember(scenario);
    e->scenarioPoint = 0;
    e->scenarioTimed = false;
}

void Sim::clearScenario(Handle ped) {
    Entity* e = game.entity(ped);
    if (!e) throw GameError("no such ped");
    e->scenario = 0;
    e->scenarioPoint = 0;
    e->scenarioTimed = false;
}

Handle Sim::spawnHorse(float x, float y, float z, float heading) {
    Entity horse;
    horse.model = game.remember("A_C_HORSE_ARABIAN_WHITE");
    if (std::find(game.horseModels.begin(), game.horseModels.end(), horse.model) ==
        game.horseModels.end())
        game.horseModels.push_back(horse.model);
    horse.position = {x, y, z};
    horse.heading = heading;
    const Handle h = game.spawn(horse);
    game.entity(h)->promptGroup = 0x4000 + h;
    return h;
}

void Sim::target(Handle entity) { game.target = entity; }
void Sim::stopTargeting() { game.target = 0; }

std::vector<std::string> Sim::visiblePrompts() {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < promptNames.size(); ++i)
        if (const Prompt* p = game.runPrompt(i); p && p->enabled && p->visible)
            names.emplace_back(promptNames[i]);
    return names;
}

std::string Sim::scenarioOf(Handle ped) {
    const Entity* e = game.entity(ped);
    return e && e->scenario ? game.nameOf(e->scenario) : "";
}

void Sim::startCallLog() {
    calls.clear();
    rawCalls.clear();
    loggingCalls = true;
}

void Sim::stopCallLog() { loggingCalls = false; }

namespace {

std::string hex(const char* format, std::uint64_t v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned long long>(v));
    return buffer;
}

std::string floatOf(std::uint64_t slot) {
    return floatText(std::bit_cast<float>(static_cast<std::uint32_t>(slot)));
}

// One argument as the trace writes it, by its kind in the native table.
std::string argumentText(const Game& game, char kind, std::uint64_t v) {
    const auto low = static_cast<std::uint32_t>(v);
    switch (kind) {
    case 'h':
        return game.nameOf(low);
    case 'f':
        return floatOf(v);
    case 's': // the plug-in's own texts, and labels from a file
        return v == 0 ? "0" : quoted(reinterpret_cast<const char*>(static_cast<std::uintptr_t>(v)));
    case 'p':
        return "&";
    case 't':
    case 'a':
        return v == ~0ull ? "-1" : hex("0x%llX", v);
    default:
        return std::to_string(static_cast<std::int32_t>(low));
    }
}

// The answer as the trace writes it, by the result's kind; nothing for none.
std::string resultText(const Game& game, char kind, const std::uint64_t result[3]) {
    const auto low = static_cast<std::uint32_t>(result[0]);
    switch (kind) {
    case 'v':
        return "";
    case 'h':
        return " = " + game.nameOf(low);
    case 'f':
        return " = " + floatOf(result[0]);
    case 't':
        return hex(" = 0x%llX", result[0]);
    case 'c': {
        std::string position = " = (" + floatOf(result[0]);
        position += ", " + floatOf(result[1]);
        position += ", " + floatOf(result[2]);
        return position += ")";
    }
    default:
        return " = " + std::to_string(static_cast<std::int32_t>(low));
    }
}

} // namespace

std::string Sim::describe(const Call& c, bool verbose) const {
    if (c.kind == Call::Wait) return "scriptWait(" + std::to_string(c.hash) + ")";
    if (c.kind == Call::Start) return "scriptMain() again, after a load";
    const NativeInfo* info = findNative(c.hash);
    std::string text = verbose ? hex("0x%016llX ", c.hash) : "";
    if (!info) return text + hex("0x%016llX", c.hash) + "(?)";
    text += info->name;
    if (verbose) text.append(" [").append(info->role).append("]");
    text += "(";
    for (std::uint8_t i = 0; i < c.argc; ++i) {
        if (i) text += ", ";
        text += argumentText(game, info->args[i], c.args[i]);
    }
    text += ")";
    return text += resultText(game, info->result, c.result);
}

} // namespace sim
