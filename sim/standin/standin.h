// The stand-in ScriptHookRDR2.dll: the hook's face toward the plug-in. The game process
// (the test runner or the simulator) connects its host to it before loading the plug-in.
#pragma once

#include "host/host_interface.h"

struct StandInHost {
    void (*scriptRegister)(HINSTANCE, void (*)());
    void (*scriptUnregister)(HINSTANCE);
    void (*keyboardHandlerRegister)(KeyboardHandler);
    void (*keyboardHandlerUnregister)(KeyboardHandler);
    void (*scriptWait)(DWORD);
    void (*nativeInit)(std::uint64_t);
    void (*nativePush64)(std::uint64_t);
    std::uint64_t* (*nativeCall)();
};

using StandInConnect = void (*)(const StandInHost*);
