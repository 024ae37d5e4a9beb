// The two settings as the loaded plug-in uses them.
#include "host/hotkey.h"
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

// PROMPTS_HOTKEY by a key's name: with modifiers, only a release while they are held opens the
// menu (more held is fine); without, as a number does, whatever else is held. A name no key
// has turns the hotkey off, as 255 does, and the satchel prompt still opens the menu.
TEST(PluginSettings, AHotkeyByItsNameWithOrWithoutModifiers) {
    using Press = std::pair<DWORD, std::uint8_t>;
    struct Case {
        const char* value;
        std::vector<Press> opens, staysShut;
    };
    const Case cases[] = {
        {"F5", {{116, 0}, {116, keys::ctrl}}, {{89, 0}, {0x35, 0}}},
        {"ctrl+y",
         {{89, keys::ctrl}, {89, keys::ctrl | keys::shift}},
         {{89, 0}, {89, keys::shift}}},
        {"Shift+F5", {{116, keys::shift}}, {{116, 0}, {116, keys::ctrl}}},
        {"Ctrl+Alt+K", {{75, keys::ctrl | keys::alt}}, {{75, keys::ctrl}, {75, keys::alt}}},
        {"Ctrl+5", {{0x35, keys::ctrl}}, {{0x35, 0}, {5, keys::ctrl}}},
        {"F55", {}, {{116, 0}, {89, 0}, {255, 0}}},
        {"Crtl+Y", {}, {{89, keys::ctrl}, {89, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        sim::Options o;
        o.ini = std::string("[SETTINGS]\nPROMPTS_HOTKEY=") + c.value + "\n";
        Sim sim(o);
        sim.frame();
        for (const Press& press : c.staysShut) {
            sim.pressKeys(press.first, press.second);
            sim.frame();
            EXPECT_THAT(sim.visiblePrompts(), IsEmpty()) << press.first;
        }
        for (const Press& press : c.opens) {
            sim.pressKeys(press.first, press.second);
            sim.frame();
            EXPECT_EQ(sim.visiblePrompts().size(), 4u) << press.first;
            sim.complete("menuClosePrompt");
            sim.frame();
        }
        if (c.opens.empty()) {
            openRestMenu(sim);
            EXPECT_EQ(sim.visiblePrompts().size(), 4u);
        }
    }
    // A modifier let go before the key was not held at its release.
    sim::Options o;
    o.ini = "[SETTINGS]\nPROMPTS_HOTKEY=Ctrl+Y\n";
    Sim sim(o);
    sim.frame();
    sim.pressKey(0x11);
    sim.pressKey(89);
    sim.frame();
    sim.releaseKey(0x11);
    sim.frame();
    sim.releaseKey(89);
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}

// The plug-in keeps the first 63 letters of a hotkey's name, as the settings header says: a
// name that ends at the 63rd opens the menu; one letter longer loses its key.
TEST(PluginSettings, AHotkeyNameIsReadToItsSixtyThirdLetter) {
    for (const auto& [spaces, opens] : {std::pair{57, true}, std::pair{58, false}}) {
        sim::Options o;
        o.ini = "[SETTINGS]\nPROMPTS_HOTKEY=Ctrl+" + std::string(spaces, ' ') + "Y\n";
        Sim sim(o);
        sim.frame();
        sim.pressKeys(89, keys::ctrl);
        sim.frame();
        EXPECT_EQ(sim.visiblePrompts().size(), opens ? 4u : 0u) << spaces;
    }
}
