// The recording reader takes any bytes: it stops at the end of what it was given, never past
// it, and every item it yields is within the format's bounds, whatever the file claims.
// The replay takes any bytes too, as --replay does a stranger's file: it ends with a status,
// what it prints can be forged by no text of the file, and tools/fuzz holds it to a memory
// limit.
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/timeline.h"
#include "sim/errors.h"

#include <cctype>
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
    if (o.status == Status::Differs && !o.divergence) std::abort();
    if (o.divergence && o.status != Status::Differs && o.status != Status::BadFile) std::abort();
    // What --replay prints of it: no line of it begins with text from the file, each is the
    // report's own (the file's name), indented under it, or a timeline line (its clock), and
    // no character in it moves the cursor.
    const std::string printed = replay::report("fuzz.rec", o) + timeline::text(o.history);
    if (printed.empty()) std::abort();
    auto clock = [](const std::string& line) {
        std::size_t i = 0;
        while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
        return i >= 2 && line.compare(i, 1, ":") == 0 && line.size() > i + 8 &&
               line.compare(i + 3, 1, ".") == 0 && line.compare(i + 7, 2, "  ") == 0;
    };
    for (std::size_t start = 0, end; start < printed.size(); start = end + 1) {
        end = printed.find('\n', start);
        if (end == std::string::npos) std::abort(); // every line ends
        const std::string line = printed.substr(start, end - start);
        if (line.rfind("fuzz.rec: ", 0) != 0 && line.rfind("  ", 0) != 0 && !clock(line))
            std::abort();
        for (const char c : line)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
    }
}

} // namespace

// AddressSanitizer holds freed memory back to catch its later use, 256 MiB of it by default:
// more than a replay may take, which would swamp what tools/fuzz's memory limit is there for.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    replayItself(data, size, readItems(data, size));
    return 0;
}
