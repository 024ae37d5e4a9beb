// On Linux the stand-in host also stands in for the Windows tick count: the game clock's.
#include "host/platform.h"
#include "sim/host.h"

extern "C" DWORD GetTickCount() { return sim::host().tickCount.load(std::memory_order_relaxed); }
