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
//   language CODE                (the game's language: en fr de it es pt-BR pl ru ko zh-Hant
//                                 ja es-MX zh-Hans; the plug-in asks it at each start)
//   load [SECONDS]               (the game loads a session, a save or a new game: the host
//                                 drops the script where it waits and starts it again after
//                                 SECONDS of loading screen, 10 unless told)
//   end                          (play on until this time, then stop)
// KEY is a virtual-key code (89, 0x59), a key name (Y, F5, SPACE) after any modifiers held
// (Ctrl+Y, Shift+F5), or 'hotkey': whatever key the settings name. NAME is a horse the scene
// brought in with its 'horse' line. The horse the plug-in cares for is the one last targeted:
// a 'target' line stays in force until 'target none' or another target, so a horse sent to
// rest or drink must have been targeted first.
//
// At a load the stand-in game releases what the script's old run made, as the game ends its
// script threads: its prompts leave the screen and take no more calls, its scenario points are
// no one's any more (gone from the world), and a ped sent to one stands up. The world stays:
// the player and the horses where they are, their cores, a scenario the game started itself,
// the target, the clock. The plug-in's module stays loaded, so its settings, its key table and
// the camera's ease keep what they hold.
//
// A name the stand-in game does not know is an error, with the closest name it knows. These
// are all it knows: each list is a table in emberlane-sim/scene.cpp (the rest and grazing
// scenarios and the navigation controls are the plug-in's own, from loop/loop_state.h). To
// use a scenario or a weapon that is not here, add it to its table; the test
// SceneFile.TheFormatListsEveryNameOfTheTables then prints this list anew for here.
//
// names begin
// Controls, to press and release:
//   released, offers the "Rest" prompt for two seconds (with a pad):
//     INPUT_OPEN_SATCHEL_MENU
//   pressed, ends the player's scenario; released, the prop of a prompt's activity goes:
//     INPUT_FRONTEND_NAV_RIGHT INPUT_FRONTEND_NAV_LEFT INPUT_FRONTEND_NAV_UP
//     INPUT_FRONTEND_NAV_DOWN
//   released while the player rests, sends a horse within 20 metres to rest:
//     INPUT_INTERACT_LOCKON
//   the prompts' buttons: pressed alone they do nothing here ('complete' takes a prompt):
//     INPUT_CONTEXT_A INPUT_CONTEXT_B INPUT_CONTEXT_X INPUT_CONTEXT_Y INPUT_INTERACT_OPTION1
//     INPUT_SPRINT
// Prompts, to complete:
//   the plug-in's ten, each while it is on screen:
//     washFacePrompt drinkWaterPrompt sitActivityPrompt sitGroundPrompt menuClosePrompt
//     smokeMenuPrompt cigarPrompt smokePrompt horseDrinkPrompt menuPrompt
// The player's scenarios (scenario player NAME):
//   rest: while in one, the horse's rest command and the refills of horse and rider:
//     GENERIC_SIT_GROUND_SCENARIO WORLD_HUMAN_SIT_GROUND WORLD_HUMAN_SIT_GROUND_WHITTLE
//     WORLD_PLAYER_SLEEP_BEDROLL WORLD_PLAYER_SLEEP_GROUND WORLD_HUMAN_SIT_GUITAR
//     WORLD_HUMAN_SIT_SMOKE WORLD_HUMAN_SIT_DRINK WORLD_HUMAN_SIT_GROUND_COFFEE_DRINK
//     WORLD_HUMAN_SIT_GROUND_DRINK_DRUNK WORLD_HUMAN_SIT_GROUND_READING
//     WORLD_HUMAN_SLEEP_GROUND_ARM WORLD_CAMP_FIRE_SIT_GROUND WORLD_HUMAN_SIT_GROUND_READ_NEWSPAPER
//     WORLD_HUMAN_FIRE_SIT WORLD_PLAYER_CAMP_FIRE_SIT
//   water: the face-wash effect, and the drink's stamina, after fifteen seconds:
//     WORLD_HUMAN_WASH_FACE_BUCKET_GROUND_NO_BUCKET WORLD_HUMAN_BUCKET_DRINK_GROUND_NO_BUCKET
//   smoking: started by the smoking choice:
//     WORLD_HUMAN_SMOKE WORLD_HUMAN_SMOKE_CIGAR
//   any other: closes the rest menu and hides the water prompts, as every scenario does:
//     WORLD_HUMAN_STAND_WAITING
// A horse's scenarios (scenario HORSE NAME):
//   drinking: the horse's stamina, and the resting rider's:
//     WORLD_ANIMAL_HORSE_DRINK_GROUND
//   resting: the horse's stamina:
//     WORLD_ANIMAL_HORSE_RESTING
//   grazing: the horse's health, and the grazing bonus:
//     WORLD_ANIMAL_HORSE_GRAZING_DOMESTIC WORLD_ANIMAL_HORSE_GRAZING
//     WORLD_ANIMAL_HORSE_GRAZING_CAMP
// Weapons, to draw:
//   drawn, no water prompt is offered:
//     WEAPON_REVOLVER_CATTLEMAN WEAPON_REVOLVER_SCHOFIELD WEAPON_REVOLVER_DOUBLEACTION
//     WEAPON_PISTOL_VOLCANIC WEAPON_REPEATER_CARBINE WEAPON_REPEATER_WINCHESTER
//     WEAPON_RIFLE_SPRINGFIELD WEAPON_SHOTGUN_PUMP WEAPON_BOW WEAPON_MELEE_KNIFE WEAPON_LASSO
// names end
#pragma once

#include "host/hotkey.h"

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
    Language,
    Load,
    End
};

struct Step {
    int line = 0;
    std::int64_t atMs = 0;
    Action action = Action::End;
    std::string subject; // a horse's name, "player", a control, a prompt or a weapon
    std::string name;    // a scenario's name, or a core's name
    float x = 0, y = 0, z = 0, heading = 0;
    std::int32_t value = 0; // a core's value, the game's number for a language, or a load's ms
    keys::Hotkey key;
    bool hotkey = false; // 'key hotkey': the key the settings name
    std::string text;    // the action as written, for the timeline
};

struct Scene {
    std::string file; // as errors name it
    std::vector<Step> steps;
};

struct Parsed {
    Scene scene;
    std::string error; // "file:line: what was expected"; empty when the scene is good
};

// `firstLine` is the line of the file on which the text begins, for a scene kept inside
// another file.
Parsed parse(std::string_view text, const std::string& file, int firstLine = 1);

// A table of names: groups of names the stand-in game knows, each with what the plug-in
// does with them.
struct Group {
    std::string what;
    std::vector<std::string> names;
};
using Table = std::vector<Group>;

const Table& controls();
const Table& prompts();
const Table& playerScenarios();
const Table& horseScenarios();
const Table& weapons();

// The codes of the game's languages, by the number the game gives each.
std::vector<std::string> languages();

// Every name of a table, in its order.
std::vector<std::string> namesOf(const Table& table);

// The closest of `known` to a name that is none of them, or "" when none is close.
std::string closest(std::string_view name, const std::vector<std::string>& known);

// The tables as the comment of this header lists them, between its "names begin" and
// "names end" lines.
std::string documentedNames();

} // namespace scene
