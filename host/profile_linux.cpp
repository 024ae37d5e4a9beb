// The Linux build's GetPrivateProfileIntA and GetPrivateProfileStringA: the file as a Windows
// path (".\Emberlane.ini" means the current directory), read whole and handed to the profile
// rules.
#include "host/linux_path.h"
#include "host/platform.h"
#include "host/profile_int.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string wholeFile(LPCSTR fileName) {
    std::string text;
    if (std::FILE* file = std::fopen(linuxPath(fileName).c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
        std::fclose(file);
    }
    return text;
}

} // namespace

extern "C" UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue,
                                      LPCSTR fileName) {
    const std::string text = wholeFile(fileName);
    return profile::readInt(text.data(), text.size(), appName, keyName, defaultValue);
}

// The value, or the default, cut to the buffer and ended by a zero; the letters copied.
extern "C" DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue,
                                          LPSTR out, DWORD size, LPCSTR fileName) {
    if (size == 0) return 0;
    const std::string text = wholeFile(fileName);
    const std::string_view value =
        profile::readString(text.data(), text.size(), appName, keyName).value_or(defaultValue);
    const std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return static_cast<DWORD>(n);
}
