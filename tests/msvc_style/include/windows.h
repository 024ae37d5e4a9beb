// Stands in for the Windows SDK's <windows.h> where there is none: the types the host
// functions take, declared as the SDK declares them. MSVC's decorated names spell out exactly
// these: a DWORD is an unsigned long (not an unsigned int), a HINSTANCE points to a struct.
#pragma once

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned long DWORD;
typedef int BOOL;
struct HINSTANCE__ {
    int unused;
};
typedef struct HINSTANCE__* HINSTANCE;
