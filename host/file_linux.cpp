// The Linux build's file calls for the recording: a Windows path (".\Emberlane.rec" means the
// current directory) made anew, written and closed.
#include "host/linux_path.h"
#include "host/platform.h"

#include <cstdint>
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

// Nothing looks at whether closing went well: it is the last that is done with the file.
BOOL CloseHandle(HANDLE handle) {
    close(static_cast<int>(reinterpret_cast<std::intptr_t>(handle)));
    return TRUE;
}
}
