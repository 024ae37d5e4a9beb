// The eight functions the plug-in imports from ScriptHookRDR2.dll.
#pragma once

#include "host/platform.h"

#include <cstdint>

using KeyboardHandler = void (*)(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended,
                                 BOOL isWithAlt, BOOL wasDownBefore, BOOL isUpNow);

// C linkage: the Windows import library maps these plain names onto the host's
// decorated export names, and the Linux stand-in host exports them as they are.
extern "C" {
void scriptRegister(HINSTANCE module, void (*script)());
void scriptUnregister(HINSTANCE module);
void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);
void scriptWait(DWORD ms);
void nativeInit(std::uint64_t hash);
void nativePush64(std::uint64_t value);
std::uint64_t* nativeCall();
}
