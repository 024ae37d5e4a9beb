#include "sim/loader.h"

#include <dlfcn.h>

namespace sim::loader {
namespace {

using EntryPoint = BOOL (*)(HINSTANCE, DWORD, LPVOID);

EntryPoint entryOf(void* module) { return reinterpret_cast<EntryPoint>(dlsym(module, "DllMain")); }

} // namespace

void* load(const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        error = dlerror();
        return nullptr;
    }
    const EntryPoint entry = entryOf(module);
    if (!entry) {
        error = "the plug-in has no DllMain";
        dlclose(module);
        return nullptr;
    }
    entry(static_cast<HINSTANCE>(module), DLL_PROCESS_ATTACH, nullptr);
    return module;
}

void unload(void* module) {
    entryOf(module)(static_cast<HINSTANCE>(module), DLL_PROCESS_DETACH, nullptr);
    dlclose(module);
}

bool stillLoaded(const std::string& path) {
    void* again = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (again) dlclose(again);
    return again != nullptr;
}

BOOL notify(void* module, DWORD reason) {
    return entryOf(module)(static_cast<HINSTANCE>(module), reason, nullptr);
}

} // namespace sim::loader
