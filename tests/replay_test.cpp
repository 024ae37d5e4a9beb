// Recordings come from strangers: whatever a file holds, the replay ends with a plain verdict,
// in bounded memory, and damage is never taken for a difference in behaviour.
#include "emberlane-sim/observer.h"
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/timeline.h"
#include "host/native_hashes.h"
#include "host/recording_format.h"
#include "play.h"
#include "scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

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

// The memory the process has held at most since the last reset.
std::size_t peakBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
    return 0;
}

// The peak memory from now on starts at what the process holds now; this returns it.
std::size_t peakFromNow() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return peakBytes();
}

// The process grew by at most `limit` since `before`. The sanitizers hold memory of their own,
// which says nothing of the replay's: under them it is not checked.
void expectGrewAtMost(std::size_t before, std::size_t limit) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    EXPECT_LE(peakBytes() - before, limit);
#else
    (void)before;
    (void)limit;
#endif
}

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

    const std::size_t before = peakFromNow();
    const replay::Outcome o = replay::run("crafted.rec", quietly());
    EXPECT_TRUE(o.status == Status::Differs || o.status == Status::BadFile)
        << replay::report("crafted.rec", o);
    expectGrewAtMost(before, (64u << 20) + 4 * file.size());
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

namespace {

// A recording of a short play made here, as the plug-in writes it.
std::string recorded(const std::string& sceneText, const std::string& name) {
    session::Settings s = quietly();
    s.options.ini = sim::withRecording(std::nullopt);
    s.options.keepRecording = (fs::current_path() / (name + ".rec")).string();
    session::play(scene::parse(sceneText, name).scene, s);
    return bytesOf(name + ".rec");
}

// A recording cut into its header and its blocks, each whole with its framing.
struct Blocks {
    std::string header;
    std::vector<std::string> blocks;
    std::string joined() const {
        std::string out = header;
        for (const std::string& b : blocks) out += b;
        return out;
    }
};

Blocks blocksOf(const std::string& file) {
    Blocks out;
    const std::size_t headerSize = 11 + static_cast<unsigned char>(file[10]) + 4;
    out.header = file.substr(0, headerSize);
    for (std::size_t at = headerSize; at < file.size();) {
        std::uint32_t size = 0;
        for (int i = 0; i < 4; ++i)
            size |= std::uint32_t{static_cast<unsigned char>(file[at + i])} << (8 * i);
        const std::size_t whole = recording_format::blockHead + size + recording_format::blockTail;
        out.blocks.push_back(file.substr(at, whole));
        at += whole;
    }
    return out;
}

// Items framed as the plug-in frames them in version 3: with the block's number, checked.
std::string numbered(const std::string& items, std::uint32_t number) {
    const auto size = static_cast<std::uint32_t>(items.size());
    const std::string checked = little(number, 4) + items;
    return little(size, 4) + little(~size, 4) + checked +
           little(recording_format::crc32(reinterpret_cast<const unsigned char*>(checked.data()),
                                          checked.size()),
                  4);
}

std::string header3(const std::string& version) {
    const std::string h = "EMBERREC" + little(3, 2) + static_cast<char>(version.size()) + version;
    return h + little(recording_format::crc32(reinterpret_cast<const unsigned char*>(h.data()),
                                              h.size()),
                      4);
}

std::string problemOf(const std::string& bytes) {
    write("bad.rec", bytes);
    const replay::Outcome o = replay::run("bad.rec", quietly());
    EXPECT_EQ(o.status, Status::BadFile) << replay::report("bad.rec", o);
    return o.problem;
}

const char* const exitScene =
    "1 key Y\n2 complete sitActivityPrompt\n"
    "4 press INPUT_FRONTEND_NAV_DOWN\n4.5 release INPUT_FRONTEND_NAV_DOWN\n"
    "12 end\n";

} // namespace

// Every block has its place from version 3: one dropped, doubled or moved, not a byte changed
// in it, is damage and never blames the build. Items where the format allows none are damage
// too: labels after the start-up, a new start where no wait ends, anything after the end.
TEST(Replay, BlocksAndItemsOutOfTheirPlaceAreDamage) {
    ScratchFolder folder("emberlane-replay");
    const Blocks good = blocksOf(recorded(exitScene, "good"));
    ASSERT_GE(good.blocks.size(), 5u);
    ASSERT_EQ(replay::run("good.rec", quietly()).status, Status::Identical);
    Blocks dropped = good, doubled = good, swapped = good;
    dropped.blocks.erase(dropped.blocks.begin() + 2);
    doubled.blocks.insert(doubled.blocks.begin() + 2, doubled.blocks[2]);
    std::swap(swapped.blocks[2], swapped.blocks[3]);
    for (const auto& [b, found, belongs] :
         {std::tuple{dropped, 3, 2}, std::tuple{doubled, 2, 3}, std::tuple{swapped, 3, 2}})
        EXPECT_NE(problemOf(b.joined())
                      .find("block " + std::to_string(found) + " stands where block " +
                            std::to_string(belongs) +
                            " belongs: a block is missing, doubled or out of place"),
                  std::string::npos);
    EXPECT_EQ(problemOf(good.joined() + "junk"),
              "damaged at byte " + std::to_string(good.joined().size()) +
                  ": bytes after the mark that ends the recording");

    const std::string settings3 = settings + '\0';
    const std::string wait("W\0\0\0", 4);
    const std::string labels = "L\x0A" + std::string(10, '\0');
    const std::string h = header3("0.1.0");
    const std::size_t items = h.size() + recording_format::blockHead;
    EXPECT_EQ(problemOf(h + numbered(settings3 + labels + wait + labels, 0)),
              "damaged at byte " + std::to_string(items + 10 + 12 + 4) +
                  ": labels where none may stand: the plug-in reads them once at each start, "
                  "before its first wait");
    EXPECT_EQ(problemOf(h + numbered(settings3 + labels + "G", 0)),
              "damaged at byte " + std::to_string(items + 10 + 12) +
                  ": the mark of a new start where no wait ends before it");
    EXPECT_EQ(problemOf(h + numbered(settings3 + "E" + wait, 0)),
              "damaged at byte " + std::to_string(items + 11) +
                  ": bytes after the mark that ends the recording");
    EXPECT_EQ(problemOf(h + numbered(settings3 + "E", 0) + numbered(wait, 1)),
              "damaged at byte " + std::to_string(items + 11 + recording_format::blockTail) +
                  ": bytes after the mark that ends the recording");
    // Settings no plug-in writes, said at the settings' own byte.
    EXPECT_EQ(problemOf(h + numbered("S" + little(7, 4) + little(1, 4) + "\x01", 0)),
              "damaged at byte " + std::to_string(items) +
                  ": a hotkey with modifiers on a key that has no name");
    // A new start after a wait, with its labels again, is what a load writes.
    std::istringstream load(h + numbered(settings3 + labels + wait + "G" + labels + "E", 0));
    recording_file::Reader reader(load);
    recording_file::Header read;
    ASSERT_TRUE(reader.readHeader(read));
    recording_file::Item item;
    std::vector<recording_file::Item::Kind> kinds;
    while (reader.next(item) == recording_file::Reader::Next::Item) kinds.push_back(item.kind);
    using K = recording_file::Item::Kind;
    EXPECT_EQ(kinds, (std::vector<K>{K::Settings, K::Labels, K::Wait, K::StartedAgain, K::Labels,
                                     K::Unloaded}));
}

// A changed build differs at the exit's wait. Damage after that is still damage (exit status
// 2), reported with the difference; damage inside the rest of the differing pass leaves the
// recording's side shown only as far as it was read.
TEST(Replay, DamageFoundAfterADifferenceIsDamage) {
    ScratchFolder folder("emberlane-replay");
    const Blocks good = blocksOf(recorded(exitScene, "good"));
    session::Settings altered = quietly();
    altered.options.plugin = EMBERLANE_ALTERED_PLUGIN_PATH;
    const replay::Outcome differs = replay::run("good.rec", altered);
    ASSERT_EQ(differs.status, Status::Differs) << replay::report("good.rec", differs);
    // The block that the exit's wait ends, the plug-in handing it over once the wait is done.
    std::size_t exitBlock = 0;
    while (good.blocks[exitBlock].find(std::string("W\xB8\x17", 3)) == std::string::npos)
        ++exitBlock;
    ASSERT_LT(exitBlock + 2, good.blocks.size());

    auto damagedIn = [&](std::size_t block) {
        Blocks b = good;
        b.blocks[block][20] = static_cast<char>(b.blocks[block][20] ^ 0x21);
        write("damaged.rec", b.joined());
        return replay::run("damaged.rec", altered);
    };
    const replay::Outcome later = damagedIn(good.blocks.size() - 1);
    const std::string laterReport = replay::report("damaged.rec", later);
    EXPECT_EQ(later.status, Status::BadFile) << laterReport;
    EXPECT_NE(laterReport.find("differs at pass " + std::to_string(differs.divergence->pass)),
              std::string::npos);
    EXPECT_NE(laterReport.find("at the end of that pass a player sees"), std::string::npos);
    EXPECT_NE(laterReport.find("and found the difference above, before the damage"),
              std::string::npos)
        << laterReport;

    const replay::Outcome inside = damagedIn(exitBlock + 1);
    const std::string insideReport = replay::report("damaged.rec", inside);
    EXPECT_EQ(inside.status, Status::BadFile) << insideReport;
    EXPECT_NE(insideReport.find("the recording cannot be read to the end of that pass: it is "
                                "damaged at byte "),
              std::string::npos)
        << insideReport;
    EXPECT_EQ(insideReport.find("a player sees ("), std::string::npos) << insideReport;
    EXPECT_EQ(insideReport.find("(by the game)"), std::string::npos);
}

// Text from a file is printed escaped, marked where it stands alone: a version text that holds
// a verdict of its own, and labels with a terminal's control sequence, begin no line.
TEST(Replay, TextFromTheFileCannotForgeALineOfTheReport) {
    ScratchFolder folder("emberlane-replay");
    session::Settings s = quietly();
    s.options.ini = sim::withRecording(std::nullopt);
    s.options.dat = "1=Wash\n2=Ground \x1B[2J\rface\n3=\x07\xFF\n";
    s.options.keepRecording = (fs::current_path() / "labels.rec").string();
    session::play(scene::parse("1 key Y\n3 end\n", "labels").scene, s);
    Blocks forged = blocksOf(bytesOf("labels.rec"));
    forged.header = header3("0.1.0\nfiles/forged.rec: identical, 7140 passes\n");
    write("forged.rec", forged.joined());
    const replay::Outcome o = replay::run("forged.rec", quietly());
    EXPECT_EQ(o.status, Status::Identical);
    const std::string printed = replay::report("forged.rec", o) + timeline::text(o.history);
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(line.rfind("files/", 0), 0u) << line;
        EXPECT_EQ(line.find_first_of("\x1B\x07\r"), std::string::npos) << line;
    }
    EXPECT_NE(printed.find("recorded by Emberlane \"0.1.0\\nfiles/forged.rec: identical, 7140 "
                           "passes\\n\""),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("\"Ground \\x1B[2J\\rface\""), std::string::npos) << printed;
}

// A game that answers the name hash afresh at every pass, as a file can: the replay keeps the
// names of no more hashes than the call watcher does, whatever the file answers.
TEST(Replay, FreshNameHashesAtEveryPassKeepTheReplaySmall) {
    ScratchFolder folder("emberlane-replay");
    {
        sim::Options o;
        o.ini = sim::withRecording(std::nullopt);
        o.keepRecording = (fs::current_path() / "fresh.rec").string();
        Sim sim(o);
        sim.host.responder = [](std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                                std::uint64_t result[3]) {
            static std::uint32_t fresh = 0x10000000;
            sim::answer(sim::host().game, hash, args, argc, result);
            if (hash == op::hashOfName) result[0] = ++fresh;
        };
        sim.frame(30000);
    }
    const std::size_t size = fs::file_size("fresh.rec");
    const std::size_t before = peakFromNow();
    const replay::Outcome o = replay::run("fresh.rec", quietly());
    EXPECT_EQ(o.status, Status::Identical) << replay::report("fresh.rec", o);
    // Well within the promise of 64 MiB and four times the file: a table of names that grew
    // with the file took five times its size here.
    expectGrewAtMost(before, (4u << 20) + size);
}
