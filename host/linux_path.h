// A Windows path as the Linux build's stand-ins for the Windows file calls open it:
// ".\Emberlane.ini" is "./Emberlane.ini", the current directory's.
#pragma once

#include <string>

inline std::string linuxPath(const char* windowsPath) {
    std::string path(windowsPath);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}
