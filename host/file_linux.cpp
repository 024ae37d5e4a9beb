// The Linux build's file calls for the recording: a Windows path (".\Emberlane.rec" means the
// current directory) made anew, written and closed.
#include "host/linux_path.h"
#include "host/platform.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A handle used after it was closed could, in the game, be a file the game has opened
// meanwhile: here it stops the program at once, so that no test passes over it.
[[noreturn]] void notOpen(const char* call) {
    std::fprintf(stderr, "%s: not an open handle\n", call);
    std::abort();
}

int descriptor(HANDLE handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)); }

} // namespace

extern "C" {

HANDLE CreateFileA(LPCSTR fileName, DWORD, DWORD, LPVOID, DWORD, DWORD, HANDLE) {
    // open's -1 for a file it cannot make is INVALID_HANDLE_VALUE.
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(
        open(linuxPath(fileName).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
             S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH)));
}

// A file on disk takes a write whole or fails (a full disk), as Windows's does.
BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, LPVOID) {
    const ssize_t done = write(descriptor(file), data, size);
    if (done < 0 && errno == EBADF) notOpen("WriteFile");
    const bool whole = done == static_cast<ssize_t>(size);
    if (whole) *written = size;
    return whole ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle) {
    if (close(descriptor(handle)) != 0) notOpen("CloseHandle");
    return TRUE;
}
}
