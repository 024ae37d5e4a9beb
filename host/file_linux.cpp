// The Linux build's file calls for the recording: a Windows path (".\Emberlane.rec" means the
// current directory) made anew, written and closed.
#include "host/linux_path.h"
#include "host/platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {

HANDLE CreateFileA(LPCSTR fileName, DWORD, DWORD, LPVOID, DWORD, DWORD, HANDLE) {
    // open's -1 for a file it cannot make is INVALID_HANDLE_VALUE.
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(
        open(linuxPath(fileName).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
             S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH)));
}

// A file on disk takes a write whole or fails (a full disk), as Windows's does.
BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, LPVOID) {
    const bool whole = write(static_cast<int>(reinterpret_cast<std::intptr_t>(file)), data, size) ==
                       static_cast<ssize_t>(size);
    if (whole) *written = size;
    return whole ? TRUE : FALSE;
}

// A handle closed twice could, in the game, close a file the game had opened meanwhile: here
// it stops the program at once, so that no test passes over it.
BOOL CloseHandle(HANDLE handle) {
    if (close(static_cast<int>(reinterpret_cast<std::intptr_t>(handle))) != 0) {
        std::fputs("CloseHandle: not an open handle\n", stderr);
        std::abort();
    }
    return TRUE;
}
}
