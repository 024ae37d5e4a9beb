// The plug-in's entry: hands the script and the keyboard handler to the host on attach,
// takes them back on detach. It runs under the loader's lock, so it does nothing else.
#include "host/host_interface.h"
#include "host/keyboard.h"
#include "loop/script_main.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        scriptRegister(module, scriptMain);
        keyboardHandlerRegister(keyboardHandler);
        break;
    case DLL_PROCESS_DETACH:
        scriptUnregister(module);
        keyboardHandlerUnregister(keyboardHandler);
        break;
    default:
        break;
    }
    return TRUE;
}
