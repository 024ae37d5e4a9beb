// The Linux build's file calls for the recording: a Windows path (".\Emberlane.rec" means the
// current directory) made anew, and writes that either hand over every byte or fail.
#include "host/platform.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {

HANDLE CreateFileA(LPCSTR fileName, DWORD, DWORD, LPVOID, DWORD, DWORD, HANDLE) {
    std::string path(fileName);
    for (char& c : path)
        if (c == '\\') c = '/';
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                        S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd));
}

BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, LPVOID) {
    const int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(file));
    const char* next = static_cast<const char*>(data);
    DWORD done = 0;
    while (done < size) {
        const ssize_t n = write(fd, next + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<DWORD>(n);
    }
    if (written) *written = done;
    return done == size ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle) {
    return close(static_cast<int>(reinterpret_cast<std::intptr_t>(handle))) == 0 ? TRUE : FALSE;
}
}
