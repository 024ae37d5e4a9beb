// The two settings as the loaded plug-in uses them.
#include "play.h"

#include <fstream>

TEST(PluginSettings, WithoutAFileTheYKeyOpensTheMenuAndThePropGoes) {
    Sim sim;
    sim.frame();
    sim.releaseKey(89);
    sim.frame();
    EXPECT_EQ(sim.visiblePrompts().size(), 4u);
    sim.complete("sitGroundPrompt");
    sim.frame(14);
    sim.press("INPUT_FRONTEND_NAV_LEFT");
    sim.frame();
    sim.release("INPUT_FRONTEND_NAV_LEFT");
    sim.advance(3100);
    EXPECT_EQ(sim.me().propsDiscarded, 1);
}

TEST(PluginSettings, AHotkeyOf255OrMoreNeverOpensButTheSatchelPromptStillDoes) {
    for (const char* code : {"255", "256", "-1", "4294967295"}) {
        sim::Options o;
        o.ini = std::string("[SETTINGS]\nPROMPTS_HOTKEY=") + code + "\n";
        Sim sim(o);
        sim.frame();
        for (DWORD key : {89u, 255u, 254u, 0u}) sim.releaseKey(key);
        sim.frame();
        EXPECT_THAT(sim.visiblePrompts(), IsEmpty()) << code;
        openRestMenu(sim);
        EXPECT_EQ(sim.visiblePrompts().size(), 4u) << code;
    }
}

TEST(PluginSettings, AnotherHotkeyAndTheDiscardOffAreTakenFromTheFile) {
    sim::Options o;
    o.ini = "[Settings]\n  prompts_hotkey = 0x48\nDESTROY_SCENARIO_PROP=0\n";
    Sim sim(o);
    sim.frame();
    sim.releaseKey(89);
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
    sim.releaseKey(0x48); // H
    sim.frame();
    EXPECT_EQ(sim.visiblePrompts().size(), 4u);
}

TEST(PluginSettings, TheyAreReadWhenThePluginLoadsBeforeItRegisters) {
    sim::Options o;
    o.ini = "[SETTINGS]\nPROMPTS_HOTKEY=75\n";
    // A file changed while the game runs (here: as the plug-in registers) has no effect.
    o.onScriptRegister = [] {
        std::ofstream("Emberlane.ini") << "[SETTINGS]\nPROMPTS_HOTKEY=76\n";
    };
    Sim sim(o);
    sim.frame();
    sim.releaseKey(76);
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
    sim.releaseKey(75);
    sim.frame();
    EXPECT_EQ(sim.visiblePrompts().size(), 4u);
}
