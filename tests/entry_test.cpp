#include "play.h"

TEST(Entry, AttachRegistersTheScriptThenTheKeyboardHandler) {
    Sim sim;
    EXPECT_THAT(sim.host.events, ElementsAre("scriptRegister", "keyboardHandlerRegister"));
    EXPECT_EQ(sim.host.scriptModule, sim.moduleHandle());
    EXPECT_NE(sim.host.script, nullptr);
    EXPECT_NE(sim.host.keyboard.load(), nullptr);
}

TEST(Entry, DetachUnregistersInTheSameOrderAndTheModuleReallyUnloads) {
    Sim sim;
    sim.frame(3);
    sim.unload();
    EXPECT_THAT(sim.host.events, ElementsAre("scriptRegister", "keyboardHandlerRegister",
                                             "scriptUnregister", "keyboardHandlerUnregister"));
    EXPECT_EQ(sim.host.keyboard.load(), nullptr);
    EXPECT_FALSE(sim.host.started); // the script's run was dropped, as the real host drops it
    EXPECT_TRUE(sim::lastUnloadComplete);
}

TEST(Entry, DetachBeforeTheScriptEverRanStillUnregistersBoth) {
    Sim sim;
    sim.unload();
    EXPECT_EQ(sim.host.events.size(), 4u);
    EXPECT_EQ(sim.host.events[2], "scriptUnregister");
}

TEST(Entry, ThreadNotificationsDoNothingAndSucceed) {
    Sim sim;
    EXPECT_EQ(sim.notify(DLL_THREAD_ATTACH), TRUE);
    EXPECT_EQ(sim.notify(DLL_THREAD_DETACH), TRUE);
    EXPECT_EQ(sim.notify(7), TRUE);
    EXPECT_EQ(sim.host.events.size(), 2u);
}

TEST(Entry, EachLoadStartsFresh) {
    for (int load = 0; load < 3; ++load) {
        Sim sim;
        const auto calls = callsOf(sim);
        // The start-up runs again in full: its first call is the first navigation hash.
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front(),
                  "GET_HASH_KEY(\"INPUT_FRONTEND_NAV_RIGHT\") = INPUT_FRONTEND_NAV_RIGHT");
    }
}
