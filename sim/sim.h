// A play session in the stand-in game: the plug-in loaded the way the game loads it, and
// the game driven in the player's words.
#pragma once

#include "sim/game.h"
#include "sim/host.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// The plug-in's ten prompts, by their creation order.
inline constexpr std::array<const char*, 10> promptNames = {
    "washFacePrompt",   "drinkWaterPrompt", "sitActivityPrompt", "sitGroundPrompt",
    "menuClosePrompt",  "smokeMenuPrompt",  "cigarPrompt",       "smokePrompt",
    "horseDrinkPrompt", "menuPrompt"};

// The keys whose messages tell Windows a modifier is held (VK_CONTROL, VK_SHIFT, VK_MENU), by
// the bit a hotkey's settings give each, in the order a recording keeps them: what the stand-in
// game's keyboard sends, apart from what the plug-in makes of it.
inline constexpr std::pair<std::uint8_t, DWORD> modifierKeyCodes[] = {
    {1, 0x11}, {2, 0x10}, {4, 0x12}};

struct Options {
    std::string plugin;             // path of the plug-in; empty: the one built beside the tests
    std::optional<std::string> ini; // contents of Emberlane.ini; none: no file
    std::optional<std::string> dat; // contents of Emberlane.dat; none: no file
    int frameMs = 33;
    std::uint64_t seed = 1;
    std::int32_t startTime = 60000; // the game timer when the session starts
    std::int32_t language = 0;      // the game's language, by the number the game gives it
    std::uint32_t tickBase = 0x00500000;
    std::function<void()> onScriptRegister; // called inside the plug-in's attach
    std::string keepRecording;        // where to keep the plug-in's Emberlane.rec when it unloads
    std::function<void()> beforeLoad; // in the game's folder, its files written, nothing loaded
};

// The settings file with recording turned on: RECORD_SESSION=1 first in its [SETTINGS]
// section (a section of its own when it has none).
std::string withRecording(const std::optional<std::string>& ini);

// Set by each Sim when it unloads the plug-in: did dlclose really unload it?
extern bool lastUnloadComplete;

struct Sim {
    explicit Sim(Options options = {});
    ~Sim();
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;

    Host& host;
    Game& game;
    Handle player;

    // Time
    void frame(int n = 1);
    void advance(int ms); // frames until at least ms of game time have passed

    // The player
    Entity& me();
    void standAt(float x, float y, float z, float heading);
    void wadeIntoWater();
    void wadeOutOfWater();
    void walk();
    void standStill();
    void drawWeapon(const char* weapon = "WEAPON_REVOLVER_CATTLEMAN");
    void holster();
    void startCombat();
    void stopCombat();
    void press(const char* control);   // just pressed in the next frame
    void release(const char* control); // just released in the next frame
    void pressKey(DWORD key);
    void releaseKey(DWORD key);
    // Presses and lets go of a key, with the modifiers (keys::ctrl, shift, alt) held around it.
    void pressKeys(DWORD key, std::uint8_t modifiers = 0);
    void complete(const char* prompt);        // the player completes a prompt on screen
    void forceCompletion(const char* prompt); // the game reports it completed, shown or not
    void setScenario(Handle ped, const char* scenario); // a scenario the game starts itself
    void clearScenario(Handle ped);

    // Horses and targets
    Handle spawnHorse(float x, float y, float z, float heading);
    void target(Handle entity);
    void stopTargeting();

    // What the player sees
    Prompt& prompt(const char* name);
    bool shown(const char* prompt);
    std::vector<std::string> visiblePrompts();
    std::string scenarioOf(Handle ped);

    // Calls
    void startCallLog();
    void stopCallLog();
    std::vector<std::string> calls; // described, since startCallLog
    std::vector<Call> rawCalls;
    std::function<void(const Call&)> trace;
    std::string describe(const Call& c, bool verbose = false) const;
    static std::string describeFloat(float f); // as the descriptions write floats

    // The game loads a session: the script's run is dropped and starts again after the
    // loading screen (sim::loadSession).
    void load(int loadingMs = 10000);
    // Emberlane.dat in the game's folder, for the script's next start; none: no file.
    void setLabelFile(const std::optional<std::string>& text);
    void unload();             // detach and unload now (the destructor does it otherwise)
    BOOL notify(DWORD reason); // another loader notification to the plug-in's entry
    HINSTANCE moduleHandle() const { return static_cast<HINSTANCE>(module); }

  private:
    void* module = nullptr;
    std::string oldDirectory;
    std::string directory;
    std::string pluginPath;
    std::string keepRecording;
    bool loggingCalls = false;
};

// The plug-in built with the project (set by the build).
std::string defaultPluginPath();

} // namespace sim
