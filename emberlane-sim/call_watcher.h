// What the recorded calls and the game's answers tell of a game, told to an observer: the
// plug-in's doings by its calls, the player's by what the game answered (every such line is
// the game's). A replay has nothing else to go by.
#pragma once

#include "emberlane-sim/observer.h"
#include "emberlane-sim/recording_file.h"
#include "host/hotkey.h"
#include "host/natives.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class CallWatcher {
  public:
    // A recording may answer the name hash with any number of values; so many names are kept.
    static constexpr std::size_t mostNames = 4096;

    observer::Observer seen;
    keys::Hotkey hotkey; // the recording's settings

    void call(const recording_file::Call& c);
    void hotkeyTest(const recording_file::Item& test);
    void wait(std::uint32_t ms) {
        seen.scriptWaits(ms);
        ++waitsSinceTest;
    }
    void passBegins();
    // The game loaded a session: the script's prompts and scenario points went with its run,
    // which started again `loadingMs` later.
    void sessionLoads(std::int64_t loadingMs);
    void frameDrawn(); // the prompts on screen as the frame is drawn
    void finish(std::uint64_t lastPassCalls);

    // The same game without the history so far: to follow another course from here on.
    CallWatcher fork() const;

    struct Calls; // what each game call tells, a function each (call_watcher.cpp)

  private:
    struct Someone {
        std::string name;
        Handle handle = 0;
        Hash scenario = 0;
        int props = 0;
        int washedInPass = -2;
        int inWater = -1, still = -1, inCombat = -1; // -1: not asked yet
        Hash weapon = 0;
    };
    struct Prompt {
        Handle handle = 0;
        std::string name, label;
        bool enabled = false, visible = false;
    };

    int pass = 0;
    Handle player = 0;
    std::vector<Someone> people;
    std::vector<Prompt> prompts;
    std::map<Hash, std::string> names;
    std::map<std::uint64_t, std::string> texts;
    std::map<Handle, Hash> points;
    Handle target = -1;
    std::uint32_t keyTime = 0;
    int waitsSinceTest = 0; // more than the pass's own: the script waited inside it
    std::set<std::string> inputsThisPass;

    Someone* someone(Handle h);
    Prompt* prompt(Handle h);
    std::string nameOf(Hash h) const;
    std::string weaponName(Hash h) const;
    void input(const std::string& what);
    void flag(int& state, bool value, const char* yes, const char* no);
    void scenario(Someone& s, Hash to, observer::Cause cause);
};
