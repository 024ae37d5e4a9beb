// Where the script's passes begin and end, told from its calls alone: a pass ends with the
// wait that yields the frame and the next one begins with the player's ped. The camera
// easing waits a frame at a time too, but inside its pass, right after each easing call.
#pragma once

#include "host/native_hashes.h"
#include "sim/host.h"

namespace passes {

struct Counter {
    int number = 0;     // the pass under way: 0 is the start-up, before the first pass
    int easeWaits = 0;  // frames the easing waited in this pass
    bool ended = false; // the last call was the wait that ends a pass
    bool lastWasEase = false;

    // Passes run to their end.
    int completed() const { return ended ? number : number - 1; }

    // Takes the next call; true when it begins a new pass.
    bool take(const sim::Call& c) {
        if (c.kind == sim::Call::Wait) {
            if (c.hash == 0 && lastWasEase) ++easeWaits;
            ended = c.hash == 0 && !lastWasEase;
            lastWasEase = false;
            return false;
        }
        const bool begins = c.hash == op::playerPed && (ended || number == 0);
        if (begins) {
            ++number;
            easeWaits = 0;
        }
        ended = false;
        lastWasEase = c.hash == op::scenarioEase;
        return begins;
    }
};

} // namespace passes
