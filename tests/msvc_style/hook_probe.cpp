// Calls each of the eight host functions through the plug-in's own declarations, so that the
// link has to find every one of them in the hook's import library.
#include "host/host_interface.h"

namespace {
void script() {}
void handler(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) {}
} // namespace

void callEveryHostFunction(HINSTANCE module) {
    scriptRegister(module, script);
    keyboardHandlerRegister(handler);
    scriptWait(0);
    nativeInit(0);
    nativePush64(0);
    (void)nativeCall();
    scriptUnregister(module);
    keyboardHandlerUnregister(handler);
}
