// The recording reader takes any bytes: it stops at the end of what it was given, never past
// it, and every item it yields is within the format's bounds, whatever the file claims.
// The replay takes any bytes too, as --replay does a stranger's file: it ends with a status,
// and tools/fuzz holds it to a memory limit.
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/session.h"
#include "sim/errors.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

namespace format = recording_format;
using format::Answer;
using format::ArgKind;

// False for a file the reader refuses at its header.
bool readItems(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    recording_file::Reader reader(in);
    recording_file::Header header;
    if (!reader.readHeader(header)) {
        if (reader.problem().empty()) std::abort();
        return false;
    }
    if (header.version < format::oldestVersion || header.version > format::version) std::abort();
    using Next = recording_file::Reader::Next;
    recording_file::Item item;
    Next next;
    while ((next = reader.next(item)) == Next::Item) {
        if (reader.offset() > size) std::abort();
        if (item.kind != recording_file::Item::Call) continue;
        const recording_file::Call& c = item.call;
        if (c.argc > format::maxArgs) std::abort();
        for (std::uint8_t i = 0; i < c.argc; ++i) {
            const recording_file::Arg& a = c.args[i];
            if (a.kind != ArgKind::Value && a.kind != ArgKind::Text && a.kind != ArgKind::Out)
                std::abort();
            if (a.text().size() > format::maxText ||
                (a.kind == ArgKind::Out && a.value > 0xFFFFFFFFu))
                std::abort();
        }
        if (c.answer != Answer::None && c.answer != Answer::Int32 && c.answer != Answer::Whole &&
            c.answer != Answer::Vector)
            std::abort();
    }
    // A file cut short is cut where its bytes end; anything else that stops early says why.
    if (next == Next::Cut && reader.offset() != size) std::abort();
    if ((next == Next::Cut || next == Next::Damaged) && reader.problem().empty()) std::abort();
    if (next == Next::End && reader.offset() != size) std::abort();
    return true;
}

void replayItself(const std::uint8_t* data, std::size_t size, bool headerRead) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    session::Settings quietly;
    quietly.printEvents = false;
    replay::Outcome o;
    try {
        o = replay::run(in, quietly);
    } catch (const sim::GameError& e) {
        // Thrown for a plug-in that cannot be loaded: then no input is tried at all.
        std::fprintf(stderr, "fuzz-recording: %s\n", e.what());
        std::abort();
    }
    using Status = replay::Outcome::Status;
    if (!headerRead && (o.status != Status::BadFile || o.passes != 0)) std::abort();
    if (o.status == Status::BadFile && o.problem.empty()) std::abort();
    if ((o.status == Status::Differs) != o.divergence.has_value()) std::abort();
    // What --replay prints of it.
    if (replay::report("fuzz.rec", o).empty()) std::abort();
}

} // namespace

// AddressSanitizer holds freed memory back to catch its later use, 256 MiB of it by default:
// more than a replay may take, which would swamp what tools/fuzz's memory limit is there for.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    replayItself(data, size, readItems(data, size));
    return 0;
}
