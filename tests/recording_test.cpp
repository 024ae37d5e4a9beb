// The recording a player can make in the game: the plug-in makes the same calls with it on,
// a recorded play replays identically and shows what the play showed, a changed build
// differs where it must, and a recording cut, damaged or of another kind is read safely.
#include "emberlane-sim/chaos_game.h"
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/timeline.h"
#include "emberlane-sim/walkthrough.h"
#include "host/host_interface.h"
#include "host/recording.h"
#include "host/recording_format.h"
#include "play.h"
#include "scratch_folder.h"
#include "sim/chaos.h"

#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using Status = replay::Outcome::Status;

namespace {

struct Play {
    std::string name;
    scene::Scene scene;
};

std::vector<Play> plays() {
    std::vector<Play> out;
    out.push_back({"walkthrough", scene::parse(walkthrough::scene, "walkthrough").scene});
    for (const auto& entry : fs::directory_iterator(EMBERLANE_SOURCE_DIR "/scenes")) {
        std::ifstream file(entry.path());
        std::stringstream text;
        text << file.rdbuf();
        out.push_back({entry.path().filename().string(),
                       scene::parse(text.str(), entry.path().string()).scene});
    }
    return out;
}

session::Settings quietly(const std::string& keep = "") {
    session::Settings s;
    s.printEvents = false;
    std::ifstream labels(EMBERLANE_SOURCE_DIR "/dist/translations/en/Emberlane.dat",
                         std::ios::binary);
    s.options.dat = std::string(std::istreambuf_iterator<char>(labels), {});
    if (!keep.empty()) {
        s.options.ini = sim::withRecording(std::nullopt);
        s.options.keepRecording = keep;
    }
    return s;
}

// The file replays identically, and holds at least so many passes.
void expectReplaysIdentically(const char* file, int atLeast) {
    const replay::Outcome o = replay::run(file, quietly());
    EXPECT_EQ(o.status, Status::Identical) << replay::report(file, o);
    EXPECT_GE(o.passes, atLeast) << file;
}

std::uint64_t chaosDigest(std::uint64_t seed, bool recorded, int passes = 2000) {
    sim::Options o;
    o.seed = seed;
    o.ini = chaos_game::settingsFor(seed);
    if (recorded) o.ini = sim::withRecording(o.ini);
    Sim sim(o);
    chaos_game::Game game = chaos_game::begin(sim, seed);
    std::uint64_t slices = 0;
    sim.host.onSlice = [&slices](std::uint64_t) { ++slices; };
    while (slices < static_cast<std::uint64_t>(passes)) {
        chaos_game::stir(sim, game);
        sim.frame();
    }
    return sim.host.digest;
}

std::string bytesOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The plug-in's own lines of a timeline, with the horses by the order they were first named.
std::vector<std::string> pluginLines(const observer::History& record) {
    std::vector<std::string> horses, out;
    for (const observer::Event& e : record.events) {
        if (e.cause != observer::Cause::Plugin) continue;
        std::string what = e.what;
        const std::string who = what.substr(0, what.find(' '));
        if (what.rfind("player", 0) != 0 && what.rfind("prompt", 0) != 0 &&
            what.rfind("script", 0) != 0) {
            const auto known = std::find(horses.begin(), horses.end(), who);
            if (known == horses.end()) horses.push_back(who);
            what = "horse " +
                   std::to_string(std::find(horses.begin(), horses.end(), who) - horses.begin()) +
                   what.substr(who.size());
        }
        out.push_back(timeline::clock(e.ms) + " " + what + ": " + e.detail);
    }
    return out;
}

} // namespace

TEST(Recording, OnOrOffThePluginMakesTheSameCalls) {
    ScratchFolder folder("emberlane-recording");
    for (const Play& play : plays()) {
        const std::uint64_t off = session::play(play.scene, quietly()).digest;
        const std::ptrdiff_t open = openFileCount();
        EXPECT_EQ(session::play(play.scene, quietly("on.rec")).digest, off) << play.name;
        EXPECT_GT(fs::file_size("on.rec"), 1000u) << play.name;
        EXPECT_EQ(openFileCount(), open) << play.name << ": the recording is closed at unload";
    }
    for (std::uint64_t seed = 1; seed <= 5; ++seed)
        EXPECT_EQ(chaosDigest(seed, true), chaosDigest(seed, false)) << "chaos seed " << seed;
    // Off unless asked for: a settings file without RECORD_SESSION, or with it at 0, makes
    // no file.
    for (const char* ini : {"[SETTINGS]\nPROMPTS_HOTKEY=89\n", "[SETTINGS]\nRECORD_SESSION=0\n"}) {
        session::Settings s = quietly("none.rec");
        s.options.ini = ini;
        session::play(plays().front().scene, s);
        EXPECT_FALSE(fs::exists("none.rec")) << ini;
    }
}

TEST(Recording, APlayReplaysIdenticallyAndShowsWhatThePlayShowed) {
    ScratchFolder folder("emberlane-recording");
    for (const Play& play : plays()) {
        const observer::History played = session::play(play.scene, quietly("play.rec"));
        const replay::Outcome again = replay::run("play.rec", quietly());
        ASSERT_EQ(again.status, Status::Identical) << replay::report(play.name, again);
        EXPECT_EQ(again.passes, static_cast<int>(played.callsPerPass.size())) << play.name;
        EXPECT_EQ(again.ending, "it ends where the game unloaded the plug-in");
        EXPECT_EQ(again.history.endMs, played.endMs) << play.name;
        // Every change the plug-in made, at the same moment; the player's own doings are read
        // from the game's answers, as lines of the game's.
        EXPECT_EQ(pluginLines(again.history), pluginLines(played)) << play.name;
    }
}

// Worlds that move every way: a player moved in one coordinate only, a hotkey with modifiers
// and prompts in the game's language, a hotkey of no known name. Each replays identically.
TEST(Recording, EveryWayThePlayerPlaysReplaysIdentically) {
    ScratchFolder folder("emberlane-recording");
    const scene::Scene oneCoordinate = scene::parse(R"(0 stand 100 200 30 heading 90
1      stand 100 201 30 heading 90
1.5    key Y
2      complete sitActivityPrompt
4      press INPUT_FRONTEND_NAV_DOWN
4.5    release INPUT_FRONTEND_NAV_DOWN
9      stand 100 201 31 heading 90
9.5    key Y
10     complete sitGroundPrompt
12     end
)",
                                                    "one coordinate")
                                           .scene;
    session::play(oneCoordinate, quietly("moved.rec"));
    expectReplaysIdentically("moved.rec", 250);
    {
        session::Settings s = quietly("modifiers.rec");
        s.options.ini = sim::withRecording("[SETTINGS]\nPROMPTS_HOTKEY=Ctrl+Y\n");
        s.options.dat.reset();
        s.options.language = 10;
        const observer::History played =
            session::play(scene::parse("1 key Y\n2 key Ctrl+Y\n3 complete menuClosePrompt\n"
                                       "4 key hotkey\n5 end\n",
                                       "modifiers")
                              .scene,
                          s);
        EXPECT_EQ(std::count_if(played.events.begin(), played.events.end(),
                                [](const observer::Event& e) {
                                    return e.detail == "\"座って休む\"  (sitActivityPrompt)";
                                }),
                  3) // shown, hidden by its close, shown again
            << timeline::text(played);
    }
    expectReplaysIdentically("modifiers.rec", 150);
    {
        session::Settings s = quietly("unknown-name.rec");
        s.options.ini = sim::withRecording("[SETTINGS]\nPROMPTS_HOTKEY=F55\n");
        session::play(scene::parse("1 key F5\n2 end\n", "unknown name").scene, s);
    }
    expectReplaysIdentically("unknown-name.rec", 50);
}

// Games that move every way: loads in a row, a game that answers anything, and the seeded
// chaos games. Each replays identically.
TEST(Recording, WhateverTheGameAnswersReplaysIdentically) {
    ScratchFolder folder("emberlane-recording");
    {
        // Loads one after another, each as soon as the run before waits: every run begins
        // with the calls the one before began with, and refers to none of them.
        Sim sim(quietly("loads.rec").options);
        for (int load = 0; load < 3; ++load) {
            sim.frame();
            sim.load(0);
        }
        sim.frame(100);
    }
    expectReplaysIdentically("loads.rec", 100);
    {
        sim::Options o = quietly("anything.rec").options;
        Sim sim(o);
        sim.frame();
        sim::chaos::seed(20261210);
        sim.host.responder = sim::chaos::respond;
        std::uint64_t slices = 0;
        sim.host.onSlice = [&slices](std::uint64_t) { ++slices; };
        while (slices < 1000) sim.frame();
    }
    expectReplaysIdentically("anything.rec", 300);
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        sim::Options o = quietly("seeded.rec").options;
        o.seed = seed;
        o.ini = sim::withRecording(chaos_game::settingsFor(seed));
        {
            Sim sim(o);
            chaos_game::Game game = chaos_game::begin(sim, seed);
            for (int frame = 0; frame < 3000; ++frame) {
                chaos_game::stir(sim, game);
                sim.frame();
            }
        }
        expectReplaysIdentically("seeded.rec", 1000);
    }
}

// A pass whose answers all come back as before costs the recording a few bytes: a count of
// the calls, the wait and the hotkey test.
TEST(Recording, ASteadyPassCostsAFewBytes) {
    ScratchFolder folder("emberlane-recording");
    session::play(scene::parse("20 end\n", "short").scene, quietly("short.rec"));
    session::play(scene::parse("40 end\n", "long").scene, quietly("long.rec"));
    const auto passes = 20000 / 33;
    EXPECT_LE(fs::file_size("long.rec") - fs::file_size("short.rec"), 13u * passes);
}

TEST(Recording, AChangedBuildDiffersAtThePassWhereItActsOtherwise) {
    ScratchFolder folder("emberlane-recording");
    session::play(plays().front().scene, quietly("walkthrough.rec"));
    session::Settings altered = quietly();
    altered.options.plugin = EMBERLANE_ALTERED_PLUGIN_PATH;
    const replay::Outcome outcome = replay::run("walkthrough.rec", altered);
    ASSERT_EQ(outcome.status, Status::Differs);
    const compare::Divergence& d = *outcome.divergence;
    EXPECT_EQ(d.ms, 8547);
    EXPECT_EQ(outcome.passes, d.pass - 1);
    ASSERT_FALSE(d.ours.empty());
    ASSERT_FALSE(d.theirs.empty());
    EXPECT_EQ(d.ours.front(), "scriptWait(2500)");
    EXPECT_EQ(d.theirs.front(), "scriptWait(3000)");
    EXPECT_EQ(d.before.back(), "IS_CONTROL_JUST_RELEASED(0, INPUT_FRONTEND_NAV_DOWN) = 1");
    EXPECT_THAT(d.seenDifferently, ElementsAre("game time: 00:11.055 | 00:11.550"));
    const std::string report = replay::report("walkthrough.rec", outcome);
    EXPECT_NE(report.find("walkthrough.rec: differs at pass " + std::to_string(d.pass) +
                          ", 00:08.547 of game time\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("  the recording:\n    scriptWait(3000)\n"), std::string::npos);
}

// The host's developer mode unloads the plug-in wherever its script waits, without unwinding
// it, as a load drops it: here inside the 3000 ms after an exit. The file ends with its mark
// and replays to its end.
TEST(Recording, AnUnloadWhileTheScriptWaitsEndsTheFileWithItsMark) {
    ScratchFolder folder("emberlane-recording");
    const observer::History played =
        session::play(scene::parse("1 key Y\n2 complete sitGroundPrompt\n"
                                   "4 press INPUT_FRONTEND_NAV_DOWN\n"
                                   "4.5 release INPUT_FRONTEND_NAV_DOWN\n5 end\n",
                                   "unloaded in a wait")
                          .scene,
                      quietly("unloaded.rec"));
    ASSERT_EQ(played.marks.back().kind, observer::Mark::Wait);
    const replay::Outcome o = replay::run("unloaded.rec", quietly());
    EXPECT_EQ(o.status, Status::Identical) << replay::report("unloaded.rec", o);
    EXPECT_EQ(o.ending, "it ends where the game unloaded the plug-in");
    EXPECT_EQ(o.passes, static_cast<int>(played.callsPerPass.size()));
}

// A game killed while the recording was written: the replay goes to the last block whole.
// A file that ends before any pass is too short to say anything; one that ends right after its
// header is cut, not damaged.
TEST(Recording, ACutRecordingReplaysUpToItsLastWholeBlock) {
    ScratchFolder folder("emberlane-recording");
    session::play(
        scene::parse("0 horse Tumbleweed 103 200 30 heading 180\n"
                     "1 key Y\n2 complete sitGroundPrompt\n"
                     "4 press INPUT_FRONTEND_NAV_DOWN\n4.5 release INPUT_FRONTEND_NAV_DOWN\n"
                     "40 end\n",
                     "forty seconds")
            .scene,
        quietly("whole.rec"));
    const std::string whole = bytesOf("whole.rec");
    constexpr std::size_t header = 20, settingsBlock = 46; // "0.1.0"; the settings' block
    int last = -1;
    for (std::size_t cut :
         {std::size_t{5}, header, std::size_t{25}, settingsBlock, whole.size() / 3,
          whole.size() / 2 + 1, whole.size() * 4 / 5, whole.size() - 1}) {
        write("cut.rec", whole.substr(0, cut));
        const replay::Outcome o = replay::run("cut.rec", quietly());
        const std::string report = replay::report("cut.rec", o);
        if (cut < settingsBlock) { // inside the header and the settings: nothing to replay
            EXPECT_EQ(o.status, Status::BadFile) << cut;
            EXPECT_NE(o.problem.find("cut at byte " + std::to_string(cut)), std::string::npos)
                << o.problem;
            continue;
        }
        if (cut == settingsBlock) {
            EXPECT_EQ(o.status, Status::TooShort) << report;
            EXPECT_NE(report.find("no whole pass"), std::string::npos) << report;
            continue;
        }
        EXPECT_EQ(o.status, Status::Identical) << cut << ": " << report;
        EXPECT_GE(o.passes, last) << cut;
        last = o.passes;
        const bool inside =
            o.ending.find("cut at byte " + std::to_string(cut) + ", inside") != std::string::npos;
        const bool between =
            o.ending.find("ends at byte " + std::to_string(cut)) != std::string::npos;
        EXPECT_TRUE(inside || between) << cut << ": " << o.ending;
    }
    EXPECT_GT(last, 1000);
    write("cut.rec", whole.substr(0, header));
    EXPECT_EQ(replay::run("cut.rec", quietly()).problem,
              "cut at byte 20, right after its header: it holds nothing");
}

TEST(Recording, AFileItCannotMakeOrWriteLeavesThePlayAsIfUnrecorded) {
    ScratchFolder folder("emberlane-recording");
    const scene::Scene walkthrough = plays().front().scene;
    const std::uint64_t unrecorded = session::play(walkthrough, quietly()).digest;
    // A folder where the file would be, and a disk that is full from the first byte.
    for (const char* obstacle : {"folder", "full disk"}) {
        session::Settings s = quietly();
        s.options.ini = sim::withRecording(std::nullopt);
        s.options.beforeLoad = [obstacle] {
            if (std::string(obstacle) == "folder")
                fs::create_directory("Emberlane.rec");
            else
                fs::create_symlink("/dev/full", "Emberlane.rec");
        };
        const observer::History r = session::play(walkthrough, s);
        EXPECT_EQ(r.digest, unrecorded) << obstacle;
        EXPECT_EQ(r.callsPerPass.size(), 7140u) << obstacle;
    }
    // Stopped for good: a long play after the failure adds nothing to a buffer that could
    // fill and be written again.
    sim::Options o = quietly().options;
    o.ini = sim::withRecording(std::nullopt);
    o.beforeLoad = [] { fs::create_symlink("/dev/full", "Emberlane.rec"); };
    Sim sim(o);
    sim.frame(30000);
    EXPECT_FALSE(sim.host.finished);
}

// The recorder built into this test program, driven by scripts of the test's own through the
// link the plug-in's calls go through: calls no plug-in makes, to reach the recorder's ends.
namespace {

// Calls of a text of 1 MiB and a number that changes, so that each is written whole, four a
// slice: the cap comes after some two hundred and forty of them.
void hugeCalls() {
    static const std::string text(1 << 20, 'x');
    for (std::uint32_t n = 0;; ++n) {
        hostLink.init(0xC0FFEE);
        hostLink.pushText(reinterpret_cast<std::uintptr_t>(text.c_str()));
        hostLink.push(n);
        hostLink.callVoid();
        // Most items are such calls, so that the cap comes as one of them begins.
        if (n % 4 == 3) hostLink.wait(0);
    }
}

void seventeenArguments() {
    hostLink.init(0xC0FFEE);
    for (std::uint64_t i = 0; i < 17; ++i) hostLink.push(i);
    hostLink.call32();
    for (;;) hostLink.wait(0);
}

// Slices longer than the recorder keeps: 1,100 calls each, three times, then a call that ends
// the recording.
void longSlices() {
    for (int slice = 0; slice < 3; ++slice) {
        for (std::uint64_t i = 0; i < 1100; ++i) {
            hostLink.init(0xC0FFEE);
            hostLink.push(i);
            hostLink.callVoid();
        }
        hostLink.wait(0);
    }
    seventeenArguments();
}

// Starts a recording in the scratch folder and runs the script until the recording has ended
// and a few frames more: the game plays on without it.
void recordScript(void (*script)()) {
    sim::resetHost();
    sim::host().responder = [](std::uint64_t, const std::uint64_t*, std::size_t,
                               std::uint64_t result[3]) { result[0] = result[1] = result[2] = 0; };
    sim::host().script = script;
    recording::start(89, 0, 1);
    for (int frames = 0; frames < 1000 && recording::on; ++frames) sim::runFrame();
    EXPECT_FALSE(recording::on);
    for (int frames = 0; frames < 5; ++frames) sim::runFrame();
    sim::dropScript();
}

struct Read {
    std::vector<recording_file::Item> items;
    recording_file::Reader::Next end;
    std::uint64_t offset;
};

Read readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    recording_file::Reader reader(file);
    recording_file::Header header;
    Read out;
    EXPECT_TRUE(reader.readHeader(header)) << reader.problem();
    EXPECT_EQ(header.pluginVersion, "unknown"); // this test program is built without one
    recording_file::Item item;
    while ((out.end = reader.next(item)) == recording_file::Reader::Next::Item)
        out.items.push_back(std::move(item));
    out.offset = reader.offset();
    return out;
}

// Where the file's last block begins, from the sizes at the head of each.
std::uint64_t lastBlock(const std::string& path, std::uint64_t header) {
    std::ifstream file(path, std::ios::binary);
    const std::uint64_t end = fs::file_size(path);
    std::uint64_t at = header, last = header;
    while (at < end) {
        last = at;
        unsigned char size[4];
        file.seekg(static_cast<std::streamoff>(at));
        file.read(reinterpret_cast<char*>(size), 4);
        at += recording_format::blockHead + recording_format::blockTail + size[0] +
              (std::uint64_t{size[1]} << 8) + (std::uint64_t{size[2]} << 16) +
              (std::uint64_t{size[3]} << 24);
    }
    return last;
}

// Runs `play` with the disk full from `limit` bytes into any file, as when it fills up.
void withDiskFullAt(std::uint64_t limit, const std::function<void()>& play) {
    struct rlimit before;
    getrlimit(RLIMIT_FSIZE, &before);
    struct rlimit full = before;
    full.rlim_cur = limit;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &full);
    play();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
}

// A call made again and again with the same answer, a slice each: a few bytes a second.
void steadyCalls() {
    for (;;) {
        hostLink.init(0xC0FFEE);
        hostLink.callVoid();
        hostLink.wait(0);
    }
}

std::string tailOf(const std::string& path, std::uint64_t end, std::size_t size) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(end - size));
    std::string tail(size, '\0');
    file.read(tail.data(), static_cast<std::streamsize>(size));
    return tail;
}

} // namespace

// A recording grows no further than its cap, which it marks; the game goes on unrecorded. When
// the mark cannot be written either (the disk full at that moment), the recording still ends
// once: its file closed once, the file as it was before the mark.
TEST(Recording, StopsAtItsCapWithTheMarkThatSaysSoAndEndsOnceWhenTheMarkCannotBeWritten) {
    ScratchFolder folder("emberlane-recording");
    recordScript(hugeCalls);
    const Read capped = readAll("Emberlane.rec");
    ASSERT_EQ(capped.end, recording_file::Reader::Next::End);
    ASSERT_FALSE(capped.items.empty());
    EXPECT_EQ(capped.items.back().kind, recording_file::Item::Stopped);
    EXPECT_EQ(tailOf("Emberlane.rec", capped.offset - 4, 2), "X\x01"); // the cap's mark
    // It stops as soon as the largest item it could write (sixteen texts of 1 MiB: 17 MiB and a
    // little) might not fit below 256 MiB; the items here are of 1 MiB.
    EXPECT_LE(capped.offset, (256u << 20) - (16u << 20));
    EXPECT_GE(capped.offset, (256u << 20) - (17u << 20) - 4096);

    const std::uint64_t markBlock = lastBlock("Emberlane.rec", 22); // its version: "unknown"
    const std::string beforeMark = tailOf("Emberlane.rec", markBlock, 4096);
    // A second close of the file's handle would stop the program.
    withDiskFullAt(markBlock, [] { recordScript(hugeCalls); });
    EXPECT_EQ(fs::file_size("Emberlane.rec"), markBlock);
    EXPECT_EQ(tailOf("Emberlane.rec", markBlock, 4096), beforeMark);
}

// A block the disk does not take ends the recording: no later block is tried, and the file
// keeps what it had. The disk fills after the header (the settings' block fails as the
// recording starts), or after the settings (a block fills, and fails, inside a call's item).
TEST(Recording, AWriteThatFailsEndsTheRecordingThere) {
    ScratchFolder folder("emberlane-recording");
    const std::uint64_t header = 22; // its version: "unknown"
    withDiskFullAt(header, [] { recordScript(steadyCalls); });
    EXPECT_EQ(fs::file_size("Emberlane.rec"), header);
    const std::uint64_t settings =
        header + recording_format::blockHead + 10 + recording_format::blockTail;
    withDiskFullAt(settings, [] { recordScript(hugeCalls); });
    EXPECT_EQ(fs::file_size("Emberlane.rec"), settings);
}

// A slice keeps its first 1,024 calls for the next to refer to; the calls after them are
// written whole, and nothing is kept past the recorder's arrays.
TEST(Recording, CallsPastTheKeptPlacesOfASliceReadBackAsMade) {
    ScratchFolder folder("emberlane-recording");
    recordScript(longSlices);
    const Read read = readAll("Emberlane.rec");
    std::vector<std::uint64_t> places;
    for (const recording_file::Item& item : read.items)
        if (item.kind == recording_file::Item::Call && item.call.hash == 0xC0FFEE)
            places.push_back(item.call.args[0].value);
    ASSERT_EQ(places.size(), 3u * 1100u);
    for (std::size_t i = 0; i < places.size(); ++i) EXPECT_EQ(places[i], i % 1100) << i;
}

// A call of more arguments than a recording carries could not be replayed: the recording ends
// there, saying why.
TEST(Recording, ACallOfMoreArgumentsThanItCarriesEndsItWithItsMark) {
    ScratchFolder folder("emberlane-recording");
    recordScript(seventeenArguments);
    const Read read = readAll("Emberlane.rec");
    EXPECT_EQ(read.end, recording_file::Reader::Next::End);
    ASSERT_EQ(read.items.size(), 2u);
    EXPECT_EQ(read.items[0].kind, recording_file::Item::Settings);
    EXPECT_EQ(read.items[1].kind, recording_file::Item::Stopped);
    EXPECT_EQ(tailOf("Emberlane.rec", read.offset - 4, 2), "X\x02");
}

// The key handler runs on the game's window thread while the script records what the hotkey
// test read: only the script touches the recording, so nothing is shared but the key table.
TEST(KeyboardWhileRecording, MessagesFromTheWindowThreadWhileTheScriptTests) {
    ScratchFolder folder("emberlane-recording");
    session::Settings s = quietly("keys.rec");
    Sim sim(s.options);
    std::atomic<bool> done{false};
    std::thread window([&] {
        for (int i = 0; i < 20000; ++i) {
            sim::sendKey(89, i % 2 == 0);
            sim::sendKey(static_cast<DWORD>(i % 300), true);
        }
        done = true;
    });
    for (int frames = 0; frames < 300 || !done; ++frames) sim.frame();
    window.join();
    EXPECT_FALSE(sim.host.finished);
}

TEST(Recording, ALabelAsLongAsTheFormatTakesIsRecordedAndALongerOneEndsTheRecording) {
    ScratchFolder folder("emberlane-recording");
    const scene::Scene second = scene::parse("1 end\n", "second").scene;
    for (const std::size_t length : {std::size_t{1} << 20, (std::size_t{1} << 20) + 1}) {
        session::Settings s = quietly("long.rec");
        s.options.dat = "WASH_FACE=" + std::string(length, 'x') + "\n";
        session::Settings unrecorded = s;
        unrecorded.options.ini.reset();
        unrecorded.options.keepRecording.clear();
        EXPECT_EQ(session::play(second, s).digest, session::play(second, unrecorded).digest);
        const replay::Outcome o = replay::run("long.rec", quietly());
        if (length == std::size_t{1} << 20) {
            EXPECT_EQ(o.status, Status::Identical) << replay::report("long.rec", o);
            EXPECT_EQ(o.passes, 31) << replay::report("long.rec", o);
        } else { // stopped as it came to the labels, after the start-up's first calls
            EXPECT_EQ(o.status, Status::TooShort) << replay::report("long.rec", o);
            EXPECT_EQ(o.passes, 0);
            EXPECT_EQ(o.ending, "it stops early: a label line was longer than a recording "
                                "carries, and the plug-in recorded no more");
        }
    }
}

// What is written reaches the file once a second of the game's tick count, so a game killed
// loses at most the last second.
TEST(Recording, HandedToTheFileOnceASecond) {
    ScratchFolder folder("emberlane-recording");
    sim::Options o;
    o.ini = sim::withRecording(std::nullopt);
    o.frameMs = 1;
    {
        Sim sim(o);
        std::vector<std::int64_t> handedOver;
        std::uintmax_t size = fs::file_size("Emberlane.rec");
        while (sim.host.elapsedMs < 3500) {
            sim.frame();
            if (fs::file_size("Emberlane.rec") != size) handedOver.push_back(sim.host.elapsedMs);
            size = fs::file_size("Emberlane.rec");
        }
        // Counted from the load, when the header and the settings went to the file.
        EXPECT_THAT(handedOver, ElementsAre(1000, 2000, 3000));
    }

    // A full block goes at once, whole: a long label fills it more than once at start-up.
    // About 500,000 bytes at start-up (the label twice): seven whole blocks of 64 KiB.
    o.dat = "=" + std::string(250000, 'x') + "\n";
    Sim withLongLabel(o);
    const std::uintmax_t header = fs::file_size("Emberlane.rec");
    withLongLabel.frame();
    EXPECT_EQ(fs::file_size("Emberlane.rec") - header,
              7u * (recording_format::blockHead + 65536 + recording_format::blockTail));
}
