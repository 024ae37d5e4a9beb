// The built-in walkthrough: every feature in a few minutes of game time.
#pragma once

namespace walkthrough {

// Errors name the walkthrough's lines as lines of this file: its first is the next one.
inline constexpr const char* file = "emberlane-sim/walkthrough.h";
inline constexpr int firstLine = __LINE__ + 1;
inline constexpr const char* scene = R"(# Emberlane walkthrough
0      horse Tumbleweed 103 200 30 heading 180

# The satchel control offers the rest menu for two seconds; a seated activity
1      release INPUT_OPEN_SATCHEL_MENU
2      complete menuPrompt
3      complete sitActivityPrompt
# A navigation control ends it; its release ends the watch and the prop goes
8      press INPUT_FRONTEND_NAV_DOWN
8.5    release INPUT_FRONTEND_NAV_DOWN

# The hotkey (Y, or the key the settings name) opens the menu; the smoking choice: a cigar,
# then a cigarette
14     key hotkey
15     complete smokeMenuPrompt
16     complete cigarPrompt
24     press INPUT_FRONTEND_NAV_LEFT
24.5   release INPUT_FRONTEND_NAV_LEFT
30     key hotkey
31     complete smokeMenuPrompt
32     complete smokePrompt
40     press INPUT_FRONTEND_NAV_UP
40.5   release INPUT_FRONTEND_NAV_UP

# At the river: armed, no prompts; unarmed, wash and drink
46     stand 120 200 29 heading 270
46     wade in
47     draw WEAPON_REVOLVER_CATTLEMAN
48     holster
49     complete washFacePrompt
68     press INPUT_FRONTEND_NAV_RIGHT
68.5   release INPUT_FRONTEND_NAV_RIGHT
74     core player stamina 70
75     complete drinkWaterPrompt
98     press INPUT_FRONTEND_NAV_DOWN
98.5   release INPUT_FRONTEND_NAV_DOWN

# The horse drinks at the river
104    wade out
104    stand 104 200 30 heading 90
104    wade in Tumbleweed
104    core Tumbleweed stamina 90
105    target Tumbleweed
106    complete horseDrinkPrompt
128    wade out Tumbleweed

# It grazes: health, and the grazing bonus about every 25 seconds
129    core Tumbleweed health 90
129    scenario Tumbleweed WORLD_ANIMAL_HORSE_GRAZING
185    scenario Tumbleweed none

# The player sits by the horse and sends it to rest with the lock-on control
186    core Tumbleweed stamina 80
187    key hotkey
188    complete sitGroundPrompt
190    release INPUT_INTERACT_LOCKON
# While the player rests and the horse drinks, the rider's stamina comes back
225    core player stamina 80
225    core Tumbleweed stamina 100
225    scenario Tumbleweed WORLD_ANIMAL_HORSE_DRINK_GROUND
245    press INPUT_FRONTEND_NAV_DOWN
245.5  release INPUT_FRONTEND_NAV_DOWN
252    end
)";

} // namespace walkthrough
