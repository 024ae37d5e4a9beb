// Scene files: timed player actions in the player's terms, one per line.
//
//   # a comment; blank lines are ignored
//   <time> <action> [arguments]
//
// <time> is game time since the session began: 12.5, 12.5s or 12500ms. Times never go back.
// Actions:
//   stand X Y Z heading H        wade in|out [NAME]         walk | stand still
//   draw WEAPON_NAME | holster   combat start | combat stop
//   press CONTROL | release CONTROL                          key KEY   (a key's release)
//   keyboard on | keyboard off   (the player uses keyboard and mouse, or a pad)
//   complete PROMPT              horse NAME X Y Z heading H  target NAME | target none
//   scenario player|NAME SCENARIO_NAME | scenario player|NAME none
//   core player|NAME health|stamina VALUE
//   end                          (play on until this time, then stop)
// KEY is a virtual-key code (89, 0x59) or a key name (Y, F5, SPACE).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scene {

enum class Action {
    Stand,
    WadeIn,
    WadeOut,
    Walk,
    StandStill,
    Draw,
    Holster,
    CombatStart,
    CombatStop,
    Press,
    Release,
    Key,
    KeyboardOn,
    KeyboardOff,
    Complete,
    Horse,
    Target,
    TargetNone,
    Scenario,
    ScenarioNone,
    Core,
    End
};

struct Step {
    int line = 0;
    std::int64_t atMs = 0;
    Action action = Action::End;
    std::string subject; // a horse's name, "player", a control, a prompt or a weapon
    std::string name;    // a scenario's name, or a core's name
    float x = 0, y = 0, z = 0, heading = 0;
    std::int32_t value = 0;
    std::uint32_t key = 0;
    std::string text; // the action as written, for the timeline
};

struct Scene {
    std::vector<Step> steps;
};

struct Parsed {
    Scene scene;
    std::string error; // "file:line: what was expected"; empty when the scene is good
};

Parsed parse(std::string_view text, const std::string& file);

// The controls and prompts a scene may name.
const std::vector<std::string>& knownControls();
bool isPromptName(std::string_view name);

} // namespace scene
