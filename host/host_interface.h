// The eight functions the plug-in imports from ScriptHookRDR2.dll, and the link through which
// the game-call layer reaches them.
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

// The call protocol and the wait, with one function for each kind of value that crosses. Each
// is the host's own, unless a recording is under way: then the recorder stands in front of
// them (host/recording.cpp) and learns from the function used what each value is. A call
// through a pointer costs what the call through the import table did.
struct HostLink {
    void (*init)(std::uint64_t hash);
    void (*push)(std::uint64_t value);       // a number, a handle, a hash, a float's bits
    void (*pushText)(std::uint64_t address); // a text the game reads
    void (*pushOut)(std::uint64_t address);  // where the game writes a 32-bit answer
    std::uint64_t* (*callVoid)();            // an answer the plug-in does not read
    std::uint64_t* (*call32)();              // a 32-bit answer in the slot's low half
    std::uint64_t* (*call64)();              // the whole slot
    std::uint64_t* (*callVector)();          // three 32-bit floats, at bytes 0, 8 and 16
    void (*wait)(DWORD ms);
};
extern HostLink hostLink;
