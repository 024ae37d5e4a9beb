// Where the script's passes begin and end, told from its calls alone: a pass ends with the
// wait that yields the frame and the next one begins with the player's ped. The camera
// easing waits a frame at a time too, but inside its pass, right after each easing call. A
// load cuts the pass under way: the script starts again, and its start-up is no pass.
#pragma once

#include "host/native_hashes.h"
#include "sim/host.h"

namespace passes {

struct Counter {
    int number = 0;     // the pass under way: 0 is the start-up, before the first pass
    int easeWaits = 0;  // frames the easing waited in this pass
    bool ended = false; // the last call was the wait that ends a pass
    bool lastWasEase = false;
    bool startingUp = true;  // the script's start-up runs, at first or after a load
    bool firstOfRun = false; // the pass under way is the first after a start-up

    // Passes run to their end, or cut by a load.
    int completed() const { return ended || startingUp ? number : number - 1; }

    // Takes the next call; true when it begins a new pass.
    bool take(const sim::Call& c) {
        if (c.kind == sim::Call::Start) {
            startingUp = true;
            ended = lastWasEase = false;
            return false;
        }
        if (c.kind == sim::Call::Wait) {
            if (c.hash == 0 && lastWasEase) ++easeWaits;
            ended = c.hash == 0 && !lastWasEase;
            lastWasEase = false;
            return false;
        }
        const bool begins = c.hash == op::playerPed && (ended || startingUp);
        if (begins) {
            ++number;
            easeWaits = 0;
            firstOfRun = startingUp;
            startingUp = false;
        }
        ended = false;
        lastWasEase = c.hash == op::scenarioEase;
        return begins;
    }
};

} // namespace passes
