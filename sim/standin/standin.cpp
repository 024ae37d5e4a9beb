#include "sim/standin/standin.h"

namespace {
StandInHost host{};
}

extern "C" {
__declspec(dllexport) void standInConnect(const StandInHost* h) { host = *h; }
void standInScriptRegister(HINSTANCE m, void (*s)()) { host.scriptRegister(m, s); }
void standInScriptUnregister(HINSTANCE m) { host.scriptUnregister(m); }
void standInKeyboardHandlerRegister(KeyboardHandler k) { host.keyboardHandlerRegister(k); }
void standInKeyboardHandlerUnregister(KeyboardHandler k) { host.keyboardHandlerUnregister(k); }
void standInScriptWait(DWORD ms) { host.scriptWait(ms); }
void standInNativeInit(std::uint64_t hash) { host.nativeInit(hash); }
void standInNativePush64(std::uint64_t value) { host.nativePush64(value); }
std::uint64_t* standInNativeCall() { return host.nativeCall(); }
}
