#include "sim/loader.h"

#include <windows.h>

namespace sim::loader {

// LoadLibrary runs the static initialisers and DllMain's attach itself; FreeLibrary the detach.
void* load(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return module;
}

void unload(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

bool stillLoaded(const std::string& path) {
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(), &module) &&
           module != nullptr;
}

// The entry is not exported on Windows; the loader sends thread notifications itself.
BOOL notify(void*, DWORD) { return TRUE; }

} // namespace sim::loader
