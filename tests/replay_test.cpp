// Recordings come from strangers: whatever a file holds, the replay ends with a plain verdict,
// in bounded memory, and damage is never taken for a difference in behaviour.
#include "emberlane-sim/observer.h"
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/timeline.h"
#include "host/recording_format.h"
#include "play.h"
#include "scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using Status = replay::Outcome::Status;

namespace {

session::Settings quietly() {
    session::Settings s;
    s.printEvents = false;
    return s;
}

void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string bytesOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string little(std::uint64_t v, int size) {
    std::string out;
    for (int i = 0; i < size; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
}

std::string varint(std::uint64_t v) {
    std::string out;
    do {
        auto byte = static_cast<unsigned char>(v & 0x7F);
        v >>= 7;
        out += static_cast<char>(v ? byte | 0x80 : byte);
    } while (v);
    return out;
}

std::string header(std::uint16_t version) {
    return "EMBERREC" + little(version, 2) + "\x05" + "0.1.0";
}

// Items framed as the plug-in frames them in version 2: a block with its size, the size
// inverted, and the checksum of its bytes.
std::string block(const std::string& items) {
    const auto size = static_cast<std::uint32_t>(items.size());
    return little(size, 4) + little(~size, 4) + items +
           little(recording_format::crc32(reinterpret_cast<const unsigned char*>(items.data()),
                                          items.size()),
                  4);
}

const std::string settings = "S" + little(89, 4) + little(1, 4);

// The memory the process has held at most since the last reset, and the reset.
std::size_t peakBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
    return 0;
}
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

} // namespace

// Written by hand from the format: one call of sixteen texts of 64 KiB, then two thousand
// slices that repeat it, all in one pass. This build differs from it at once, and the replay
// reads the rest of that pass: once, it kept a copy of the call for every slice, a gigabyte.
TEST(Replay, AFileMadeToExhaustItEndsInBoundedMemoryWithAShortReport) {
    ScratchFolder folder("emberlane-replay");
    std::string call = "C" + little(0xC0FFEE, 8) + "\x10";
    for (int i = 0; i < 16; ++i) call += "t" + varint(64 << 10) + std::string(64 << 10, 'x');
    call += "n";
    const std::string wait("W\x01\x00\x00", 4);
    std::string file = header(1) + settings + call + wait;
    for (int i = 0; i < 2000; ++i) file += "R\x01" + wait;
    write("crafted.rec", file);

    resetPeak();
    const std::size_t before = peakBytes();
    const replay::Outcome o = replay::run("crafted.rec", quietly());
    EXPECT_TRUE(o.status == Status::Differs || o.status == Status::BadFile)
        << replay::report("crafted.rec", o);
    // The sanitizers hold memory of their own, which says nothing of the replay's.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    EXPECT_LE(peakBytes() - before, (64u << 20) + 4 * file.size());
#else
    (void)before;
#endif
    const std::string report = replay::report("crafted.rec", o) + timeline::text(o.history);
    EXPECT_LT(report.size(), 200u << 10);
    EXPECT_NE(report.find("… (65536 bytes)"), std::string::npos) << "a long text, cut";
}

// A byte changed anywhere after the format's version, in the header's version text, a block's
// size, number, items or checksum, is damage: exit status 2, never a difference.
TEST(Replay, AnyByteChangedAfterTheHeaderIsDamageNeverADifference) {
    ScratchFolder folder("emberlane-replay");
    session::Settings recorded = quietly();
    recorded.options.ini = sim::withRecording(std::nullopt);
    recorded.options.keepRecording = (folder.dir / "short.rec").string();
    session::play(scene::parse("1 key Y\n2 complete sitGroundPrompt\n4 end\n", "short").scene,
                  recorded);
    const std::string good = bytesOf("short.rec");
    ASSERT_EQ(replay::run("short.rec", quietly()).status, Status::Identical);
    // Every byte of the first two blocks' framing and of the last block; a stride through the
    // rest.
    std::vector<std::size_t> places;
    // The header from its version text on, which version 3 checks too.
    for (std::size_t at = 10; at < 20 + 26 + 12; ++at) places.push_back(at);
    for (std::size_t at = 50; at < good.size() - 64; at += good.size() / 19) places.push_back(at);
    for (std::size_t at = good.size() - 64; at < good.size(); ++at) places.push_back(at);
    for (const std::size_t at : places) {
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x21);
        write("damaged.rec", damaged);
        const replay::Outcome o = replay::run("damaged.rec", quietly());
        EXPECT_EQ(o.status, Status::BadFile) << at << ": " << replay::report("damaged.rec", o);
        EXPECT_NE((o.problem + o.ending).find("damaged at byte "), std::string::npos) << at;
    }
}

TEST(Replay, AFileOfAnotherKindOrVersionIsRefusedAndOneOfFormat1StillReplays) {
    ScratchFolder folder("emberlane-replay");
    // The checksum is the one zip files use, as the format says, so a reader of one's own agrees.
    const std::string check = "123456789";
    EXPECT_EQ(
        recording_format::crc32(reinterpret_cast<const unsigned char*>(check.data()), check.size()),
        0xCBF43926u);
    auto problemOf = [](const std::string& bytes) {
        write("bad.rec", bytes);
        const replay::Outcome o = replay::run("bad.rec", quietly());
        EXPECT_EQ(o.status, Status::BadFile);
        return o.problem;
    };
    EXPECT_EQ(problemOf("[SETTINGS]\nPROMPTS_HOTKEY=89\n"),
              "not a recording: it does not begin with EMBERREC");
    EXPECT_EQ(problemOf(header(4) + block(settings + '\0')),
              "a recording of format version 4; this emberlane-sim reads versions 1 to 3");
    // Items no plug-in writes, in blocks that pass their check: a count of repeated calls
    // larger than the slice before it, and a call before the settings.
    EXPECT_EQ(problemOf(header(2) + block(settings + '\0' + "R\x7F")),
              "damaged at byte 34: a repeat of 127 calls from the 0th of the slice, where the "
              "previous slice kept 0");
    EXPECT_EQ(problemOf(header(2) + block(std::string("W\0\0\0", 4))),
              "damaged at byte 24: expected the settings, the first item of every recording");
    // The bytes of the items version 2 brought, as docs/recording.md gives them.
    {
        std::istringstream in(header(2) + block(settings + "\x05" + "B" + "X\x03"));
        recording_file::Reader reader(in);
        recording_file::Header h;
        recording_file::Item item;
        ASSERT_TRUE(reader.readHeader(h));
        ASSERT_EQ(reader.next(item), recording_file::Reader::Next::Item);
        EXPECT_EQ(item.modifiers, keys::ctrl | keys::alt);
        ASSERT_EQ(reader.next(item), recording_file::Reader::Next::Item);
        EXPECT_EQ(item.kind, recording_file::Item::BuiltInLabels);
        ASSERT_EQ(reader.next(item), recording_file::Reader::Next::Item);
        EXPECT_EQ(item.kind, recording_file::Item::Stopped);
        EXPECT_EQ(recording_file::reasonOf(item.reason),
                  "a label line was longer than a recording carries");
        EXPECT_EQ(reader.next(item), recording_file::Reader::Next::End);
    }

    // Recordings made before the blocks and the checksums replay as they did.
    const replay::Outcome old =
        replay::run(EMBERLANE_SOURCE_DIR "/tests/fuzz/corpus/recording/short-play", quietly());
    EXPECT_EQ(old.status, Status::Identical) << replay::report("short-play", old);
    EXPECT_GT(old.passes, 100);
}
