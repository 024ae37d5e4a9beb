// The platform seam: the Windows types and the Windows calls the plug-in makes. On Windows
// they come from <windows.h>; the Linux build supplies its own (the stand-in host exports
// GetTickCount, host/profile_linux.cpp reads the settings file, host/file_linux.cpp writes
// the recording).
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
using LPSTR = char*;
using HINSTANCE = struct ModuleInstance*;
using HANDLE = void*;

#define TRUE 1
#define FALSE 0
#define WINAPI
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(-1))
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define CREATE_ALWAYS 2u
#define FILE_ATTRIBUTE_NORMAL 0x80u

extern "C" {
DWORD GetTickCount();
UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName);
DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR out,
                               DWORD size, LPCSTR fileName);
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPVOID security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, LPVOID overlapped);
BOOL CloseHandle(HANDLE handle);
}
#endif
