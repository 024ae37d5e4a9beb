#include "sim/loader.h"

#include "sim/host.h"
#include "sim/standin/standin.h"

#include <cstring>

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

DWORD WINAPI gameTickCount() { return host().tickCount.load(std::memory_order_relaxed); }

// The plug-in takes the tick count from KERNEL32 through its import table; pointed at the
// stand-in game's clock, it reads what the Linux build reads, so that key messages and the
// recording's waits keep game time. The static initialisers read the real one, once, at load.
void useGameClock(HMODULE module) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d) {
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "GetTickCount") != 0)
                continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&gameTickCount);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        }
    }
}

} // namespace

// LoadLibrary runs the static initialisers and DllMain's attach itself; FreeLibrary the detach.
void* load(const std::string& path, std::string& error) {
    if (!connectHook(error)) return nullptr;
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    else
        useGameClock(module);
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
