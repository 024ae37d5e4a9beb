// The eight functions the plug-in imports from ScriptHookRDR2.dll.
#pragma once

#include "host/platform.h"

#include <cstdint>

using KeyboardHandler = void (*)(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended,
                                 BOOL isWithAlt, BOOL wasDownBefore, BOOL isUpNow);

// The hook exports these under the names MSVC gives C++ functions, so an MSVC build declares
// them as C++ and the compiler makes those names itself. Everywhere else they have C linkage:
// MinGW's import library maps the plain names onto the hook's (host/ScriptHookRDR2.mingw.def),
// and the stand-in hosts of the tests define them as plain C functions.
#if defined(_MSC_VER) && !defined(EMBERLANE_STANDIN_HOST)
extern "C++" {
#else
extern "C" {
#endif
void scriptRegister(HINSTANCE module, void (*script)());
void scriptUnregister(HINSTANCE module);
void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);
void scriptWait(DWORD ms);
void nativeInit(std::uint64_t hash);
void nativePush64(std::uint64_t value);
std::uint64_t* nativeCall();
}
