#include "sim/loader.h"

#include "sim/standin/standin.h"

#include <windows.h>

namespace sim::loader {
namespace {

// The game process loads the script hook first; the stand-in hook is handed this
// process's host before any plug-in can call it.
bool connectHook(std::string& error) {
    static bool connected = false;
    if (connected) return true;
    HMODULE hook = LoadLibraryA("ScriptHookRDR2.dll");
    auto connect = hook ? reinterpret_cast<StandInConnect>(
                              reinterpret_cast<void*>(GetProcAddress(hook, "standInConnect")))
                        : nullptr;
    if (!connect) {
        error = "cannot load the stand-in ScriptHookRDR2.dll";
        return false;
    }
    static const StandInHost host = {scriptRegister,
                                     scriptUnregister,
                                     keyboardHandlerRegister,
                                     keyboardHandlerUnregister,
                                     scriptWait,
                                     nativeInit,
                                     nativePush64,
                                     nativeCall};
    connect(&host);
    connected = true;
    return true;
}

} // namespace

// LoadLibrary runs the static initialisers and DllMain's attach itself; FreeLibrary the detach.
void* load(const std::string& path, std::string& error) {
    if (!connectHook(error)) return nullptr;
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return module;
}

void unload(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

bool stillLoaded(const std::string& path) {
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(),
                              &module) &&
           module != nullptr;
}

// The entry is not exported on Windows; the loader sends thread notifications itself.
BOOL notify(void*, DWORD) { return TRUE; }

} // namespace sim::loader
