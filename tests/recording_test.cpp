// The recording a player can make in the game: the plug-in makes the same calls with it on,
// a recorded play replays identically and shows what the play showed, a changed build
// differs where it must, and a recording cut, damaged or of another kind is read safely.
#include "emberlane-sim/chaos_game.h"
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/timeline.h"
#include "emberlane-sim/walkthrough.h"
#include "play.h"
#include "scratch_folder.h"
#include "sim/chaos.h"

#include <atomic>
#include <filesystem>
#include <fstream>
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
    std::ifstream labels(EMBERLANE_SOURCE_DIR "/dist/translations/en/Emberlane.dat", std::ios::binary);
    s.options.dat = std::string(std::istreambuf_iterator<char>(labels), {});
    if (!keep.empty()) {
        s.options.ini = sim::withRecording(std::nullopt);
        s.options.keepRecording = keep;
    }
    return s;
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

// Worlds that move every way: a player moved in one coordinate only, games that answer
// anything, and the seeded chaos games. Each replays identically.
TEST(Recording, WhateverTheGameAnswersReplaysIdentically) {
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
    auto identical = [](const char* file, int atLeast) {
        const replay::Outcome o = replay::run(file, quietly());
        EXPECT_EQ(o.status, Status::Identical) << replay::report(file, o);
        EXPECT_GE(o.passes, atLeast) << file;
    };
    identical("moved.rec", 250);
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
    identical("anything.rec", 300);
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
        identical("seeded.rec", 1000);
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

TEST(Recording, ACutRecordingReplaysUpToItsLastWholePass) {
    ScratchFolder folder("emberlane-recording");
    session::play(plays().front().scene, quietly("whole.rec"));
    const std::string whole = bytesOf("whole.rec");
    int last = -1;
    for (std::size_t cut : {std::size_t{5}, std::size_t{14}, std::size_t{25}, whole.size() / 7,
                            whole.size() / 3, whole.size() / 2 + 1, whole.size() - 1}) {
        write("cut.rec", whole.substr(0, cut));
        const replay::Outcome o = replay::run("cut.rec", quietly());
        if (cut < 20) { // inside the header and the settings: nothing to replay
            EXPECT_EQ(o.status, Status::BadFile) << cut;
            EXPECT_NE(o.problem.find("cut at byte " + std::to_string(cut)), std::string::npos)
                << o.problem;
            continue;
        }
        EXPECT_EQ(o.status, Status::Identical) << cut << ": " << replay::report("cut.rec", o);
        EXPECT_GE(o.passes, last) << cut;
        last = o.passes;
        const bool inside =
            o.ending.find("cut at byte " + std::to_string(cut) + ", inside") != std::string::npos;
        const bool between =
            o.ending.find("ends at byte " + std::to_string(cut)) != std::string::npos;
        EXPECT_TRUE(inside || between) << cut << ": " << o.ending;
    }
    EXPECT_GT(last, 7000);
}

TEST(Recording, AFileOfAnotherKindAnotherVersionOrDamagedIsRefusedSayingWhereAndWhat) {
    ScratchFolder folder("emberlane-recording");
    session::play(plays().front().scene, quietly("good.rec"));
    const std::string good = bytesOf("good.rec");
    auto refused = [](const std::string& bytes) {
        write("bad.rec", bytes);
        const replay::Outcome o = replay::run("bad.rec", quietly());
        EXPECT_EQ(o.status, Status::BadFile);
        return o.problem;
    };
    EXPECT_EQ(refused("[SETTINGS]\nPROMPTS_HOTKEY=89\n"),
              "not a recording: it does not begin with EMBERREC");
    std::string later = good;
    later[8] = 2;
    EXPECT_EQ(refused(later),
              "a recording of format version 2; this emberlane-sim reads version 1");
    // An item no recorder writes, where the item after the 50th wait begins: the passes
    // before it replay, and the damage is named.
    std::istringstream in(good);
    recording_file::Reader reader(in);
    recording_file::Header header;
    recording_file::Item item;
    ASSERT_TRUE(reader.readHeader(header));
    ASSERT_EQ(reader.next(item), recording_file::Reader::Next::Item);
    const std::uint64_t afterSettings = reader.offset();
    for (int waits = 0; waits < 50;)
        if (reader.next(item) == recording_file::Reader::Next::Item)
            waits += item.kind == recording_file::Item::Wait;
    std::string damaged = good;
    damaged[reader.offset()] = 'Z';
    write("bad.rec", damaged);
    const replay::Outcome o = replay::run("bad.rec", quietly());
    EXPECT_EQ(o.status, Status::BadFile);
    EXPECT_EQ(o.passes, 50);
    EXPECT_EQ(o.problem, "damaged at byte " + std::to_string(reader.offset()) +
                             ": an item tagged 90; expected S, L, C, A, R, W, K, E or X");
    // A count of repeated calls larger than the slice before it.
    EXPECT_EQ(refused(good.substr(0, afterSettings) + "R\x7F"),
              "damaged at byte " + std::to_string(afterSettings) +
                  ": a repeat of 127 calls from the 0th of the slice, where the previous slice "
                  "kept 0");
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

// A recording grows no further than its cap, which it marks; the game goes on unrecorded.
// The answers here are arbitrary, so every pass writes much (about a kilobyte).
TEST(Recording, StopsAtItsCapWithTheMarkThatSaysSo) {
    ScratchFolder folder("emberlane-recording");
    constexpr std::uintmax_t cap = 256u << 20;
    {
        sim::Options o;
        o.ini = sim::withRecording(std::nullopt);
        Sim sim(o);
        sim.frame();
        sim::chaos::seed(20261209);
        sim.host.responder = sim::chaos::respond;
        std::uintmax_t size = 0, last = 1;
        while (size != last) {
            last = size;
            sim.frame(20000);
            size = fs::file_size("Emberlane.rec");
            ASSERT_LE(size, cap);
        }
        sim.frame(100); // past the cap the plug-in plays on
        sim.unload();
        fs::rename("Emberlane.rec", fs::path(folder.dir) / "capped.rec");
    }
    std::ifstream file("capped.rec", std::ios::binary);
    recording_file::Reader reader(file);
    recording_file::Header header;
    ASSERT_TRUE(reader.readHeader(header));
    recording_file::Item item;
    recording_file::Reader::Next n;
    bool capped = false;
    while ((n = reader.next(item)) == recording_file::Reader::Next::Item)
        capped = item.kind == recording_file::Item::Stopped &&
                 item.reason == static_cast<std::uint8_t>(recording_format::StopReason::Cap);
    EXPECT_EQ(n, recording_file::Reader::Next::End) << reader.problem();
    EXPECT_TRUE(capped);
    // It stops as soon as the largest item it could write might not fit: sixteen texts of
    // 1 MiB and their framing, less than 17 MiB.
    constexpr std::uint64_t largestItem = 17u << 20;
    EXPECT_GT(reader.offset(), cap - largestItem);
    EXPECT_LE(reader.offset(), cap - largestItem + 4096);
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
        EXPECT_EQ(o.status, Status::Identical) << replay::report("long.rec", o);
        if (length == std::size_t{1} << 20) {
            EXPECT_EQ(o.passes, 31) << replay::report("long.rec", o);
        } else { // stopped as it came to the labels, after the start-up's first calls
            EXPECT_EQ(o.passes, 0);
            EXPECT_NE(o.ending.find("without the unload mark"), std::string::npos) << o.ending;
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

    // A full buffer goes at once, whole: a long label fills it more than once at start-up.
    // About 500,000 bytes at start-up (the label twice): seven whole buffers of 64 KiB.
    o.dat = "=" + std::string(250000, 'x') + "\n";
    Sim withLongLabel(o);
    const std::uintmax_t header = fs::file_size("Emberlane.rec");
    withLongLabel.frame();
    EXPECT_EQ(fs::file_size("Emberlane.rec") - header, 7u * 65536);
}
