#include "emberlane-sim/replay.h"

#include "emberlane-sim/call_watcher.h"
#include "emberlane-sim/keys.h"
#include "emberlane-sim/passes.h"
#include "emberlane-sim/recording_file.h"
#include "emberlane-sim/timeline.h"
#include "host/native_hashes.h"
#include "sim/errors.h"
#include "sim/native_table.h"
#include "sim/printable.h"
#include "sim/sim.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace replay {
namespace {

using recording_file::Item;
using Next = recording_file::Reader::Next;
using recording_file::format::Answer;
using recording_file::format::ArgKind;

constexpr std::size_t callsBefore = 6, callsFrom = 4;
// After a difference the recording's rest of that pass is read ahead, to answer this build
// where it asks the same and to see what the recording shows there: so many calls and waits at
// most, carrying so many bytes of text at most, whatever the file holds.
constexpr std::size_t restOfPass = 2000;
constexpr std::size_t restOfPassText = 8 << 20;

// Thrown into the plug-in's script to end the replay: the recording has no more to answer, or
// the pass in which the two differ is over.
struct Stop : std::exception {
    const char* what() const noexcept override { return "the replay stops here"; }
};

std::string hex(std::uint64_t v) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(v));
    return buffer;
}

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The kind of a call's argument as the recording writes it, from the native table.
ArgKind kindOf(const sim::NativeInfo* info, std::size_t i) {
    if (!info || i >= std::strlen(info->args)) return ArgKind::Value;
    return info->args[i] == 's'   ? ArgKind::Text
           : info->args[i] == 'p' ? ArgKind::Out
                                  : ArgKind::Value;
}

// The plug-in's call as the recording would hold it; what the game wrote is read only once it
// has been written.
recording_file::Call asRecorded(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                                bool readOuts) {
    recording_file::Call r;
    r.hash = hash;
    r.argc = static_cast<std::uint8_t>(std::min(argc, r.args.size()));
    const sim::NativeInfo* info = sim::findNative(hash);
    for (std::uint8_t i = 0; i < r.argc; ++i) {
        recording_file::Arg& a = r.args[i];
        a.kind = args[i] ? kindOf(info, i) : ArgKind::Value; // no text, no address: the value 0
        switch (a.kind) {
        case ArgKind::Text: {
            const char* text = reinterpret_cast<const char*>(args[i]);
            a.letters = std::make_shared<const std::string>(
                text, strnlen(text, recording_file::format::maxText));
            break;
        }
        case ArgKind::Out:
            if (readOuts) {
                std::uint32_t written;
                std::memcpy(&written, reinterpret_cast<const void*>(args[i]), 4);
                a.value = written;
            }
            break;
        case ArgKind::Value:
            a.value = args[i];
            break;
        }
    }
    return r;
}

// The same call: the same native, with the same values and texts, and an address where the
// recording has one. What the game wrote there is its answer, not part of the call.
bool sameCall(const recording_file::Call& a, const recording_file::Call& b) {
    if (a.hash != b.hash || a.argc != b.argc) return false;
    for (std::uint8_t i = 0; i < a.argc; ++i) {
        const recording_file::Arg &x = a.args[i], &y = b.args[i];
        if (x.kind != y.kind || (x.kind == ArgKind::Value && x.value != y.value) ||
            (x.kind == ArgKind::Text && x.text() != y.text()))
            return false;
    }
    return true;
}

// The plug-in's call is the recorded one, as sameCall has it, compared where the plug-in's
// values lie: nothing is copied on the way of a replay that agrees.
bool isRecorded(const recording_file::Call& r, std::uint64_t hash, const std::uint64_t* args,
                std::size_t argc) {
    if (r.hash != hash || r.argc != std::min(argc, r.args.size())) return false;
    const sim::NativeInfo* info = sim::findNative(hash);
    for (std::uint8_t i = 0; i < r.argc; ++i) {
        const recording_file::Arg& a = r.args[i];
        const ArgKind kind = args[i] ? kindOf(info, i) : ArgKind::Value;
        if (a.kind != kind || (kind == ArgKind::Value && a.value != args[i])) return false;
        if (kind != ArgKind::Text) continue;
        const char* text = reinterpret_cast<const char*>(args[i]);
        const std::size_t size = strnlen(text, recording_file::format::maxText);
        if (a.text().size() != size || std::memcmp(a.text().data(), text, size) != 0) return false;
    }
    return true;
}

// The recorded answer, in the result slots and where the plug-in asked the game to write.
void give(const recording_file::Call& r, const std::uint64_t* args, std::uint64_t result[3]) {
    if (r.answer == Answer::Int32 || r.answer == Answer::Whole) result[0] = r.answers[0];
    if (r.answer == Answer::Vector) std::copy(r.answers.begin(), r.answers.end(), result);
    for (std::uint8_t i = 0; i < r.argc; ++i)
        if (r.args[i].kind == ArgKind::Out && args[i]) {
            const auto written = static_cast<std::uint32_t>(r.args[i].value);
            std::memcpy(reinterpret_cast<void*>(args[i]), &written, 4);
        }
}

// A recorded call in words, as the trace writes the plug-in's own; one the native table does
// not know, or with arguments of other kinds than the table's, plainly. Long texts are cut.
std::string describe(const sim::Sim& sim, const recording_file::Call& r) {
    const sim::NativeInfo* info = sim::findNative(r.hash);
    bool fits = info && std::strlen(info->args) == r.argc;
    for (std::uint8_t i = 0; fits && i < r.argc; ++i)
        fits = kindOf(info, i) == r.args[i].kind ||
               (r.args[i].kind == ArgKind::Value && !r.args[i].value);
    if (fits) { // the texts escaped as the description prints them (up to a zero byte)
        sim::Call c;
        c.hash = r.hash;
        c.argc = r.argc;
        for (std::uint8_t i = 0; i < r.argc; ++i)
            c.args[i] = r.args[i].kind == ArgKind::Text
                            ? reinterpret_cast<std::uintptr_t>(r.args[i].text().c_str())
                        : r.args[i].kind == ArgKind::Out ? 1
                                                         : r.args[i].value;
        std::copy(r.answers.begin(), r.answers.end(), c.result);
        return sim.describe(c);
    }
    std::string text = (info ? std::string(info->name) : hex(r.hash)) + "(";
    for (std::uint8_t i = 0; i < r.argc; ++i) {
        if (i) text += ", ";
        const recording_file::Arg& a = r.args[i];
        text += a.kind == ArgKind::Text  ? sim::quoted(a.text())
                : a.kind == ArgKind::Out ? "&"
                                         : hex(a.value);
    }
    text += ")";
    if (r.answer != Answer::None) text += " = " + hex(r.answers[0]);
    return text;
}

sim::Call waitCall(std::uint32_t ms) {
    sim::Call c;
    c.kind = sim::Call::Wait;
    c.hash = ms;
    return c;
}

// The stand-in game's frame for a time the recording gives: a frame that moves its clock on,
// however long the game says it took (paused, say), and no more than ten minutes.
int frameOf(std::uint64_t ms) { return static_cast<int>(std::clamp<std::uint64_t>(ms, 1, 600000)); }

std::size_t textBytes(const recording_file::Call& c) {
    std::size_t n = 0;
    for (std::uint8_t i = 0; i < c.argc; ++i) n += c.args[i].text().size();
    return n;
}

std::string labelFile(const LabelLines& labels) {
    // The key before "=" is dropped and one CR before the line feed with it: each line comes
    // back as it was read, whatever it holds.
    std::string text;
    for (const std::string& label : labels) text += "=" + label + "\r\n";
    return text;
}

// The replay itself: answers each call of the plug-in from the recording while the two agree,
// and from the first call or wait in which they part, reads the recording's rest of that pass
// to see, at its end, what a player sees differ.
struct Replay {
    Replay(sim::Sim& s, recording_file::Reader& r, Outcome& o, const session::Settings& settings_)
        : sim(s), reader(r), out(o), settings(settings_) {
        watcher.hotkey = o.hotkey;
    }

    sim::Sim& sim;
    recording_file::Reader& reader;
    Outcome& out;
    const session::Settings& settings;
    CallWatcher watcher;
    passes::Counter counter;
    std::uint64_t passCalls = 0;
    std::array<sim::Call, callsBefore> recent; // the last calls both made alike, a ring
    std::uint64_t recentCount = 0;
    std::optional<Item> next; // the next call or wait the recording holds, read in place
    std::uint32_t tick = 0;   // the tick count the plug-in reads
    bool stopped = false;

    // After a difference: the recording's rest of that pass, and this build's.
    bool differs = false;
    compare::Divergence divergence;
    std::vector<recording_file::Call> theirCalls;
    std::vector<bool> used;
    std::optional<CallWatcher> theirs;
    std::int64_t ourTime = 0, theirTime = 0;
    std::int64_t lastFrame = 33;
    std::uint64_t waits = 0;
    std::size_t ourSteps = 0;
    std::uint32_t lastTook = 0; // how long the last wait took
    bool loadNext = false;      // the host drops the script in this wait and starts it again
    bool endedInWait = false;   // the recording ends while the script waits
    std::string damage;         // met after the difference: where and what

    std::int64_t now() const { return sim.host.elapsedMs; }

    void setTick(std::uint32_t t) { sim.host.tickCount = tick = t; }

    // Whatever ended the recording, in words.
    void ended(const Item& item) {
        if (item.kind == Item::Unloaded) out.ending = "it ends where the game unloaded the plug-in";
        if (item.kind == Item::Stopped)
            out.ending = "it stops early: " + recording_file::reasonOf(item.reason) +
                         ", and the plug-in recorded no more";
    }

    // To the next call or wait of the recording, doing on the way what the plug-in will read
    // before it: the hotkey test's tick count and key records.
    void advance() {
        if (!next) next.emplace();
        Item& item = *next;
        for (;;) {
            const Next read = reader.next(item);
            if (read != Next::Item) next.reset();
            switch (read) {
            case Next::End:
                out.ending = "it ends at byte " + std::to_string(reader.offset()) +
                             " without the unload mark: the game was closed without unloading "
                             "the plug-in, killed, or crashed";
                return;
            case Next::Cut:
                out.ending = "it was " + reader.problem() +
                             ": the game was killed or crashed while it was written";
                return;
            case Next::Damaged:
                out.status = Outcome::Status::BadFile;
                out.problem = reader.problem();
                out.ending = "it is " + reader.problem();
                return;
            case Next::Item:
                break;
            }
            switch (item.kind) {
            case Item::Call:
            case Item::Wait:
                return;
            case Item::HotkeyTest:
                hotkeyTest(item);
                break;
            case Item::Unloaded:
            case Item::Stopped:
                ended(item);
                next.reset();
                return;
            case Item::StartedAgain:
                loadNext = true;
                break;
            case Item::Labels: // what the run's start-up reads next, in the game's folder
                sim.setLabelFile(labelFile(item.labels));
                break;
            case Item::BuiltInLabels:
                sim.setLabelFile(std::nullopt);
                break;
            case Item::Settings:
                break; // read as the plug-in loaded
            }
        }
    }

    // The game loaded a session here: the replay's host drops the script as the game's did, and
    // starts it again at the next frame, which comes when the recording's new start came.
    void load() {
        loadNext = false;
        watcher.seen.now = now();
        watcher.sessionLoads(lastTook);
        sim.load(0);
    }

    // The key messages that leave the key table as the plug-in's test found it: each record
    // written at the tick count it holds.
    void hotkeyTest(const Item& k) {
        watcher.seen.now = now();
        watcher.hotkeyTest(k);
        std::size_t read = 0;
        for (const auto& [bit, code] : sim::modifierKeyCodes) {
            if (!(out.hotkey.modifiers & bit) || read == k.modifiersRead) continue;
            const recording_file::KeyRecord& record = k.modifierKeys[read++];
            if (record.time == 0 && record.isUpNow == 0) continue;
            setTick(record.time);
            sim::sendKey(code, record.isUpNow != 0);
        }
        if (k.key.time != 0 || k.key.isUpNow != 0) {
            setTick(k.key.time);
            sim::sendKey(out.hotkey.code, k.key.isUpNow != 0);
        }
        setTick(k.now);
    }

    [[noreturn]] void stop() {
        stopped = true;
        throw Stop{};
    }

    // The answer to one of the plug-in's calls.
    void answer(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                std::uint64_t result[3]) {
        if (!differs && !next) stop();
        if (!differs && (next->kind != Item::Call || !isRecorded(next->call, hash, args, argc))) {
            sim::Call c;
            c.hash = hash;
            beginDifference(c);
        }
        if (differs)
            return answerAfterDifference(asRecorded(hash, args, argc, false), args, result);
        give(next->call, args, result);
        watcher.seen.now = now();
        watcher.call(next->call);
        advance();
    }

    void onCall(const sim::Call& c) {
        if (settings.trace)
            std::printf("%s    %s\n", timeline::clock(now()).c_str(),
                        sim.describe(c, true).c_str());
        if (c.kind == sim::Call::Wait) return onWait(c);
        if (c.kind == sim::Call::Start) { // a load cut the pass under way
            if (passCalls && counter.number > 0)
                watcher.seen.history.callsPerPass.push_back(passCalls);
            passCalls = 0;
            counter.take(c);
            return remember(c);
        }
        const int easeWaits = counter.easeWaits;
        if (counter.take(c)) {
            if (!counter.firstOfRun) watcher.seen.history.callsPerPass.push_back(passCalls);
            passCalls = 0;
            watcher.passBegins();
            if (easeWaits && !differs) {
                watcher.seen.now = now();
                watcher.seen.scriptEases(easeWaits);
            }
        }
        ++passCalls;
        // The names of the hashes the recording answered, for the calls in words: as many as
        // the call watcher keeps, whatever the file answers; none made up after a difference.
        auto& names = sim.game.names;
        const auto hash = static_cast<Hash>(c.result[0]);
        if (c.hash == op::hashOfName && c.args[0] && !differs &&
            names.size() < CallWatcher::mostNames && !names.count(hash))
            names.emplace(hash, observer::readable(reinterpret_cast<const char*>(c.args[0])));
        remember(c);
    }

    void onWait(const sim::Call& c) {
        const auto ms = static_cast<std::uint32_t>(c.hash);
        if (!differs && !next) {
            // The game unloaded the plug-in, or stopped, during this wait: its pass ran whole as
            // far as the game ran it, a wait inside it or the one that ends it.
            counter.take(c);
            endedInWait = true;
            stop();
        }
        if (!differs && (next->kind != Item::Wait || next->ms != ms)) beginDifference(c);
        remember(c);
        counter.take(c);
        if (differs) {
            watcher.seen.now = ourTime;
            watcher.wait(ms);
            if (counter.ended) finishDifference();
            // The game resumes a script at a frame: a wait ends at the first one after it.
            const std::int64_t frame = std::max<std::int64_t>(lastFrame, 1);
            ourTime += ms ? (ms + frame - 1) / frame * frame : frame;
            if (++ourSteps > restOfPass) finishDifference();
            return;
        }
        watcher.seen.now = now();
        watcher.wait(ms);
        // The next slice begins where the game resumed the script: after the slice's own run and
        // the wait. The first slice's run counts from the plug-in's load, when the game may still
        // have been loading: it began one frame before its wait, as far as the replay can tell.
        const std::uint32_t took = next->tookMs;
        const std::uint32_t ran = waits++ ? next->ranMs : 0;
        lastFrame = lastTook = took;
        sim.host.frameMs = frameOf(std::max<std::uint64_t>(std::uint64_t{ran} + took, ms));
        advance();
    }

    // Calls are put in words only where a report needs them: the texts they point to live as
    // long as the plug-in.
    void remember(const sim::Call& c) {
        if (differs) {
            if (divergence.ours.size() < callsFrom) divergence.ours.push_back(sim.describe(c));
            return;
        }
        recent[recentCount++ % callsBefore] = c;
    }

    // The recording and this build part here: the recording's rest of the pass is read, so
    // that this build can be answered where it asks the same, and both can be seen.
    void beginDifference(const sim::Call& first) {
        differs = true;
        passes::Counter probe = counter;
        probe.take(first);
        divergence.pass = probe.number;
        divergence.ms = now();
        for (std::uint64_t i = recentCount - std::min<std::uint64_t>(recentCount, callsBefore);
             i < recentCount; ++i)
            divergence.before.push_back(sim.describe(recent[i % callsBefore]));
        theirs = watcher.fork();
        theirs->seen.now = now();
        ourTime = theirTime = now();
        passes::Counter theirCounter = counter;
        std::size_t steps = 0, text = 0;
        while (next && steps++ < restOfPass) {
            const Item item = *next; // the reader reads the next one in its place
            if (item.kind == Item::Call) {
                if (divergence.theirs.size() < callsFrom)
                    divergence.theirs.push_back(describe(sim, item.call));
                text += textBytes(item.call);
                if (text <= restOfPassText) theirCalls.push_back(item.call);
                sim::Call c;
                c.hash = item.call.hash;
                if (theirCounter.take(c)) theirs->passBegins();
                theirs->call(item.call);
                advanceTheirs();
                continue;
            }
            if (divergence.theirs.size() < callsFrom)
                divergence.theirs.push_back(sim.describe(waitCall(item.ms)));
            theirs->wait(item.ms);
            theirCounter.take(waitCall(item.ms));
            if (theirCounter.ended) break;
            theirTime += item.ranMs + item.tookMs;
            theirs->seen.now = theirTime;
            advanceTheirs();
        }
        if (divergence.theirs.empty())
            divergence.theirs.push_back(damage.empty()
                                            ? "(no more: the recording ends here)"
                                            : "(no more: the recording is damaged here)");
        used.assign(theirCalls.size(), false);
    }

    // The recording's next item, its hotkey tests read on its side alone.
    void advanceTheirs() {
        if (!next) next.emplace();
        Item& item = *next;
        Next read;
        while ((read = reader.next(item)) == Next::Item) {
            if (item.kind == Item::Call || item.kind == Item::Wait) return;
            if (item.kind == Item::HotkeyTest) theirs->hotkeyTest(item);
            if (item.kind == Item::Unloaded || item.kind == Item::Stopped ||
                item.kind == Item::StartedAgain) // a load ends their pass
                break;
        }
        next.reset();
        if (read == Next::Damaged) damage = reader.problem();
    }

    // The rest of the file, read for damage alone: a damaged recording says so whatever
    // differed before the damage.
    void readTheRest() {
        Item item;
        Next read;
        while ((read = reader.next(item)) == Next::Item) {}
        if (read == Next::Damaged) damage = reader.problem();
    }

    void answerAfterDifference(const recording_file::Call& ours, const std::uint64_t* args,
                               std::uint64_t result[3]) {
        result[0] = result[1] = result[2] = 0;
        for (std::size_t i = 0; i < theirCalls.size(); ++i)
            if (!used[i] && sameCall(theirCalls[i], ours)) {
                give(theirCalls[i], args, result);
                used[i] = true;
                break;
            }
        recording_file::Call answered = asRecorded(ours.hash, args, ours.argc, true);
        answered.answer = Answer::Int32;
        std::copy(result, result + 3, answered.answers.begin());
        watcher.seen.now = ourTime;
        watcher.call(answered);
        if (++ourSteps > restOfPass) finishDifference();
    }

    // What a player sees differ when the pass ends: never the recording's side past what could
    // be read of it. Then the verdict, which damage anywhere in the file makes its own.
    [[noreturn]] void finishDifference() {
        watcher.seen.now = ourTime;
        watcher.frameDrawn();
        theirs->frameDrawn();
        if (damage.empty())
            divergence.seenDifferently =
                compare::sightDifferences(watcher.seen.sight(), theirs->seen.sight());
        else
            divergence.theirsCut = damage;
        if (divergence.ours.empty()) divergence.ours.push_back("(no more calls)");
        out.divergence = divergence;
        out.status = Outcome::Status::Differs;
        if (damage.empty()) readTheRest();
        if (!damage.empty()) {
            out.status = Outcome::Status::BadFile;
            out.problem = damage;
            out.ending = "it is " + damage;
        }
        stop();
    }
};

Replay* active = nullptr;

void answerFromRecording(std::uint64_t hash, const std::uint64_t* args, std::size_t argc,
                         std::uint64_t result[3]) {
    active->answer(hash, args, argc, result);
}

// What the plug-in read before its first wait: the settings at load, the labels at its start,
// and how long its first pass took to come. False, with the problem said, for a file that
// is no recording this build reads, or ends before its settings.
bool readStart(std::istream& file, Outcome& out, std::optional<LabelLines>& labels,
               std::uint32_t& firstFrame) {
    recording_file::Reader scan(file);
    recording_file::Header header;
    if (!scan.readHeader(header)) {
        out.problem = scan.problem();
        return false;
    }
    out.pluginVersion = observer::readable(header.pluginVersion);
    Item item;
    switch (scan.next(item)) {
    case Next::End:
        out.problem = "cut at byte " + std::to_string(scan.offset()) +
                      ", right after its header: it holds nothing";
        return false;
    case Next::Cut:
    case Next::Damaged:
        out.problem = scan.problem();
        return false;
    case Next::Item:
        break;
    }
    out.hotkey = {item.hotkey, item.modifiers};
    out.destroyProp = item.destroyProp;
    if (out.hotkey.modifiers && keys::nameOf(out.hotkey.code).empty()) {
        out.problem = "damaged at byte " + std::to_string(scan.itemOffset()) +
                      ": a hotkey with modifiers on a key that has no name";
        return false;
    }
    while (scan.next(item) == Next::Item) {
        if (item.kind == Item::Labels) labels = item.labels;
        if (item.kind == Item::Wait) {
            firstFrame = item.tookMs;
            break;
        }
    }
    return true;
}

} // namespace

std::string settingsFile(const keys::Hotkey& hotkey, std::int32_t destroyProp) {
    const std::string key = hotkey.modifiers ? keys::nameOf(hotkey) : std::to_string(hotkey.code);
    return "[SETTINGS]\r\nPROMPTS_HOTKEY=" + key +
           "\r\nDESTROY_SCENARIO_PROP=" + std::to_string(destroyProp) + "\r\n";
}

Outcome run(const std::string& path, const session::Settings& settings) {
    Outcome out;
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        out.status = Outcome::Status::BadFile;
        out.problem = "a folder, not a recording";
        return out;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        out.status = Outcome::Status::BadFile;
        out.problem = "cannot be opened";
        return out;
    }
    return run(file, settings);
}

Outcome run(std::istream& file, const session::Settings& settings) {
    Outcome out;
    const std::istream::pos_type start = file.tellg();
    std::optional<LabelLines> labels;
    std::uint32_t firstFrame = 33;
    if (!readStart(file, out, labels, firstFrame)) {
        out.status = Outcome::Status::BadFile;
        return out;
    }
    out.labelsFromFile = labels.has_value();

    file.clear();
    file.seekg(start);
    recording_file::Reader reader(file);
    recording_file::Header header;
    Item item;
    reader.readHeader(header);
    reader.next(item);

    sim::Options options = settings.options;
    options.ini = settingsFile(out.hotkey, out.destroyProp);
    options.dat = labels ? std::optional(labelFile(*labels)) : std::nullopt;
    options.frameMs = frameOf(firstFrame);
    sim::Sim sim(options);
    Replay r(sim, reader, out, settings);
    active = &r;
    sim.host.responder = answerFromRecording;
    sim.trace = [&r](const sim::Call& c) { r.onCall(c); };
    sim.host.afterTick = [&r, &sim] { sim.host.tickCount = r.tick; };
    r.advance();
    try {
        while (!r.stopped) {
            sim.frame();
            r.watcher.seen.now = sim.host.elapsedMs;
            r.watcher.frameDrawn();
            if (r.loadNext) r.load();
        }
    } catch (const sim::GameError&) {
        if (!r.stopped) {
            active = nullptr;
            throw;
        }
    }
    sim.trace = nullptr;
    sim.host.afterTick = nullptr;
    active = nullptr;
    if (!r.differs) r.watcher.seen.now = sim.host.elapsedMs;
    r.watcher.finish(r.differs ? 0 : r.passCalls);
    out.history = std::move(r.watcher.seen.history);
    out.passes = r.differs       ? std::max(0, r.divergence.pass - 1)
                 : r.endedInWait ? r.counter.number
                                 : std::max(0, r.counter.completed());
    if (out.status == Outcome::Status::Identical && out.passes == 0)
        out.status = Outcome::Status::TooShort;
    return out;
}

std::string report(const std::string& name, const Outcome& o) {
    if (o.status == Outcome::Status::BadFile && o.passes == 0 && o.ending.empty())
        return name + ": " + o.problem + "\n";
    std::string out = name + ": recorded by Emberlane " + o.pluginVersion +
                      (o.ending.empty() ? "" : "; " + o.ending) + "\n";
    if (o.divergence)
        out += name + ": " + compare::describe(*o.divergence, "this build", "the recording");
    switch (o.status) {
    case Outcome::Status::BadFile:
        return out + name + ": replayed " + plural(o.passes, "pass", "passes") +
               (o.divergence ? " and found the difference above, before the damage\n"
                             : " before the damage\n");
    case Outcome::Status::TooShort:
        return out + name + ": it holds no whole pass, too short to say anything of a build\n";
    case Outcome::Status::Identical:
        return out + name + ": identical, " + plural(o.passes, "pass", "passes") + "\n";
    case Outcome::Status::Differs:
        break;
    }
    return out;
}

} // namespace replay
