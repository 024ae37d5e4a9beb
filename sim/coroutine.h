// The script's own stack: the real host runs scripts in fibers, the stand-in does the same
// (a ucontext on Linux, a Windows fiber on Windows).
#pragma once

namespace sim::coroutine {

void start(void (*entry)()); // makes the script's stack; entry runs at the first enter()
void enter();                // from the host: run the script until it leaves
void leave(bool forGood);    // from the script: back to the host (forGood: it has ended)
void finish();               // frees the script's stack once it has ended (or never ran)

} // namespace sim::coroutine
