// Any scene file is read or refused with a message naming the file and line; a scene that is
// read keeps its times in order.
#include "emberlane-sim/scene.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const scene::Parsed parsed = scene::parse(text, "fuzz.scene");
    if (!parsed.error.empty()) {
        if (parsed.error.rfind("fuzz.scene:", 0) != 0 || !parsed.scene.steps.empty()) std::abort();
        return 0;
    }
    std::int64_t last = 0;
    for (const scene::Step& s : parsed.scene.steps) {
        if (s.atMs < last || s.line < 1) std::abort();
        last = s.atMs;
    }
    return 0;
}
