// The recording reader takes any bytes: it stops at the end of what it was given, never past
// it, and every item it yields is within the format's bounds, whatever the file claims.
#include "emberlane-sim/recording_file.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    recording_file::Reader reader(in);
    recording_file::Header header;
    if (!reader.readHeader(header)) {
        if (reader.problem().empty()) std::abort();
        return 0;
    }
    if (header.version != recording_file::formatVersion) std::abort();
    using Next = recording_file::Reader::Next;
    recording_file::Item item;
    Next next;
    while ((next = reader.next(item)) == Next::Item) {
        if (reader.offset() > size) std::abort();
        if (item.kind != recording_file::Item::Call) continue;
        const recording_file::Call& c = item.call;
        if (c.argc > recording_file::maxArgs) std::abort();
        for (std::uint8_t i = 0; i < c.argc; ++i) {
            const recording_file::Arg& a = c.args[i];
            if (a.kind != 'v' && a.kind != 't' && a.kind != 'o') std::abort();
            if (a.text.size() > recording_file::maxText || (a.kind == 'o' && a.value > 0xFFFFFFFFu)) std::abort();
        }
        if (c.answer != 'n' && c.answer != 'i' && c.answer != 'w' && c.answer != 'c') std::abort();
    }
    // A file cut short is cut where its bytes end; anything else that stops early says why.
    if (next == Next::Cut && reader.offset() != size) std::abort();
    if ((next == Next::Cut || next == Next::Damaged) && reader.problem().empty()) std::abort();
    if (next == Next::End && reader.offset() != size) std::abort();
    return 0;
}
