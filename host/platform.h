// The platform seam: the Windows types and the two Windows calls the plug-in makes.
// On Windows they come from <windows.h>; the Linux build supplies its own (the stand-in
// host exports GetTickCount, host/profile_linux.cpp reads the settings file).
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using LPVOID = void*;
using LPCSTR = const char*;
using HINSTANCE = struct HINSTANCE__*;

#define TRUE 1
#define FALSE 0
#define WINAPI
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

extern "C" {
DWORD GetTickCount();
UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName);
}
#endif
