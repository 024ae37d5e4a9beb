#include "sim/coroutine.h"

#include <windows.h>

namespace sim::coroutine {
namespace {

LPVOID hostFiber = nullptr;
LPVOID scriptFiber = nullptr;
void (*scriptEntry)() = nullptr;

void CALLBACK fiberMain(LPVOID) { scriptEntry(); }

} // namespace

void start(void (*entry)()) {
    scriptEntry = entry;
    if (!hostFiber) hostFiber = ConvertThreadToFiber(nullptr);
    scriptFiber = CreateFiber(1 << 20, fiberMain, nullptr);
}

void enter() { SwitchToFiber(scriptFiber); }

void leave(bool) { SwitchToFiber(hostFiber); }

void finish() {
    if (scriptFiber) DeleteFiber(scriptFiber);
    scriptFiber = nullptr;
}

} // namespace sim::coroutine
