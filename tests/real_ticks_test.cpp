// Under Windows the plug-in reads the real tick count: the hotkey window is real time.
#ifdef _WIN32
#include "play.h"

#include <windows.h>

TEST(RealTicks, AReleaseIsAnsweredWithin100msOfRealTimeAndNotAfter) {
    Sim sim;
    sim.frame();
    sim.releaseKey(89);
    sim.frame();
    EXPECT_EQ(sim.visiblePrompts().size(), 4u);
    sim.complete("menuClosePrompt");
    sim.frame();
    sim.releaseKey(89);
    Sleep(150);
    sim.frame();
    EXPECT_THAT(sim.visiblePrompts(), IsEmpty());
}
#endif
