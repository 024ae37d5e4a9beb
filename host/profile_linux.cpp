// The Linux build's GetPrivateProfileIntA: the file as a Windows path (".\Emberlane.ini"
// means the current directory), read whole and handed to the profile rules.
#include "host/linux_path.h"
#include "host/platform.h"
#include "host/profile_int.h"

#include <cstdio>
#include <string>

extern "C" UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue,
                                      LPCSTR fileName) {
    std::string text;
    if (std::FILE* file = std::fopen(linuxPath(fileName).c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
        std::fclose(file);
    }
    return profile::readInt(text.data(), text.size(), appName, keyName, defaultValue);
}
