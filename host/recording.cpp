// The recorder: stands in front of the host's functions and writes down what the game
// answered, with the plug-in's own calls, the waits and what the hotkey test read. It writes
// into a block, hands the block to the file at least once a second, and ends one way only,
// stop(), which leaves the plug-in to play on as if it had never recorded.
#include "host/recording.h"

#include "host/host_interface.h"
#include "host/recording_format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string_view>

namespace {
// The host's own functions, which the recorder stands in front of while it records.
constexpr HostLink hostOwn = {nativeInit, nativePush64, nativePush64, nativePush64, nativeCall,
                              nativeCall, nativeCall,   nativeCall,   scriptWait};
} // namespace

// Constant: filled in before any of the plug-in's own start-up runs.
constinit HostLink hostLink = hostOwn;

// The build gives the version as bare words (0.1.0), so no generator or compiler command line
// has to carry quotes.
#define EMBERLANE_TEXT(x) #x
#define EMBERLANE_STRING(x) EMBERLANE_TEXT(x)
#ifdef EMBERLANE_VERSION
#define EMBERLANE_VERSION_TEXT EMBERLANE_STRING(EMBERLANE_VERSION)
#else
#define EMBERLANE_VERSION_TEXT "unknown"
#endif

namespace recording {

bool on = false;

namespace {

namespace format = recording_format;
using format::Answer;
using format::ArgKind;
using format::Tag;

// What the simulator looks for in a plug-in file to say which version it loaded.
constexpr char versionMark[] = "Emberlane version " EMBERLANE_VERSION_TEXT;
constexpr std::size_t versionAt = sizeof "Emberlane version " - 1;

constexpr DWORD flushEveryMs = 1000;

// One call as the recording knows it: a text by a digest of its letters (the letters go into
// the file), an out-parameter by what the game wrote there.
struct Call {
    std::uint64_t hash;
    std::uint32_t argc;
    std::array<ArgKind, format::maxArgs> kinds;
    std::array<std::uint64_t, format::maxArgs> args;
    Answer answer;
    std::array<std::uint64_t, 3> answers;
};

// The same call: the same native with the same arguments, answered or not alike.
bool sameCall(const Call& a, const Call& b) {
    if (a.hash != b.hash || a.argc != b.argc || a.answer != b.answer) return false;
    for (std::uint32_t i = 0; i != a.argc; ++i)
        if (a.kinds[i] != b.kinds[i] || (a.kinds[i] != ArgKind::Out && a.args[i] != b.args[i]))
            return false;
    return true;
}

bool sameAnswer(const Call& a, const Call& b) {
    for (std::uint32_t i = 0; i != a.argc; ++i)
        if (a.kinds[i] == ArgKind::Out && a.args[i] != b.args[i]) return false;
    return a.answers == b.answers;
}

// How a recording ends. Every end but a failed write leaves its mark.
enum class Ending { Unloaded, Cap, TooManyArguments, LongLabel, WriteFailed };

// Made zeroed, when a recording starts.
struct Recorder {
    HANDLE file;
    // The block under way: room for its head, its items and its tail.
    std::array<unsigned char, format::blockHead + format::maxBlock + format::blockTail> block;
    std::size_t used;      // bytes of items in the block
    bool failed;           // a write failed: every later write does nothing
    std::uint64_t written; // handed to the file
    std::uint32_t blocks;  // handed to the file: the next block's number
    DWORD lastFlush;
    DWORD lastTick;
    // The wait under way: a script dropped in it by a load never comes back from it.
    DWORD waitMs, waitStart;
    std::uint32_t lastNow, lastTime;
    std::uint8_t modifiers; // the hotkey's, as the settings name them

    // This slice's calls and the previous one's: a call made again at the same place of the
    // next slice, with the same answer, is written as part of a count.
    std::array<std::array<Call, format::keptCalls>, 2> slices;
    int current;
    std::size_t position, previousCount;
    std::uint64_t repeats;

    Call call;                                            // the call under way
    std::array<std::uint64_t, format::maxArgs> addresses; // its texts and out-parameters
};

Recorder* recorder = nullptr;

// A number's bytes, lowest first, filling the place given: its size is the number's, and a
// place past the array's end stops a checked build rather than being written.
template <std::size_t N>
void little(std::span<unsigned char, N> at, std::uint64_t v) {
    for (std::size_t i = 0; i < N; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool writeToFile(const void* data, std::size_t size) {
    DWORD done;
    return WriteFile(recorder->file, data, static_cast<DWORD>(size), &done, nullptr) &&
           done == size;
}

// The block to the file, framed: its size twice, its number, the items, the CRC of the number
// and the items. Every caller has just put an item, so a block is never empty. A write that
// fails makes every later one do nothing; the next item or flush stops the recording.
void writeBlock() {
    Recorder& r = *recorder;
    if (r.failed) return;
    const std::span<unsigned char> block(r.block);
    little(block.first<4>(), r.used);
    little(block.subspan<4, 4>(), ~static_cast<std::uint32_t>(r.used));
    little(block.subspan<8, 4>(), r.blocks);
    const std::span<const unsigned char> checked = block.subspan(8, 4 + r.used);
    little(block.subspan(format::blockHead + r.used).first<4>(),
           format::crc32(checked.data(), checked.size()));
    const std::size_t size = format::blockHead + r.used + format::blockTail;
    if (!writeToFile(r.block.data(), size)) {
        r.failed = true;
        return;
    }
    r.written += size;
    r.used = 0;
    ++r.blocks;
}

void put(const void* data, std::size_t size) {
    Recorder& r = *recorder;
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (!r.failed && size) {
        if (r.used == format::maxBlock) writeBlock();
        const std::size_t n = std::min(size, format::maxBlock - r.used);
        std::memcpy(r.block.data() + format::blockHead + r.used, bytes, n);
        r.used += n;
        bytes += n;
        size -= n;
    }
}

void putByte(unsigned char b) { put(&b, 1); }
template <typename Enum>
void putByte(Enum e) {
    putByte(static_cast<unsigned char>(e));
}

// Seven bits a byte, lowest first; the high bit says another byte follows.
void putVarint(std::uint64_t v) {
    do {
        auto byte = static_cast<unsigned char>(v & 0x7F);
        v >>= 7;
        if (v) byte |= 0x80;
        putByte(byte);
    } while (v);
}

void putLittle(std::uint64_t v, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) putByte(static_cast<unsigned char>(v >> (8 * i)));
}

void putText(const char* text, std::size_t size) {
    putVarint(size);
    put(text, size);
}

// A change of a value, small when the value moves a little: the difference, signed, with its
// sign in the lowest bit.
void putChange(std::uint64_t from, std::uint64_t to) {
    const auto d = static_cast<std::int64_t>(to - from);
    putVarint((static_cast<std::uint64_t>(d) << 1) ^ static_cast<std::uint64_t>(d >> 63));
}

void putRepeats() {
    Recorder& r = *recorder;
    if (r.repeats) {
        putByte(Tag::Repeat);
        putVarint(r.repeats);
    }
    r.repeats = 0;
}

// The one way a recording ends: the host's own functions back in place, the calls just made
// again as they were, the mark of the ending where the file still takes one, the file closed.
// Only the first call does anything.
void stop(Ending ending) {
    if (!on) return;
    on = false;
    hostLink = hostOwn;
    Recorder& r = *recorder;
    if (ending != Ending::WriteFailed) {
        putRepeats();
        switch (ending) {
        case Ending::Unloaded:
            putByte(Tag::Unloaded);
            break;
        case Ending::Cap:
        case Ending::TooManyArguments:
        case Ending::LongLabel:
            putByte(Tag::Stopped);
            putByte(ending == Ending::Cap                ? format::StopReason::Cap
                    : ending == Ending::TooManyArguments ? format::StopReason::TooManyArguments
                                                         : format::StopReason::LongLabel);
            break;
        case Ending::WriteFailed:
            break;
        }
        writeBlock();
    }
    CloseHandle(r.file);
}

void flush() {
    if (!on) return;
    writeBlock();
    if (recorder->failed) stop(Ending::WriteFailed);
}

// Begins an item, once the calls just made again as they were are written as one count;
// false once the recording has ended. The file stops short of its cap by room for the largest
// item, whatever comes next.
bool item(Tag tag) {
    if (!on) return false;
    const Recorder& r = *recorder;
    if (r.failed) {
        stop(Ending::WriteFailed);
        return false;
    }
    if (r.written + r.used + format::stopRoom >= format::sizeCap) {
        stop(Ending::Cap);
        return false;
    }
    putRepeats();
    putByte(tag);
    return true;
}

std::uint64_t digest(const char* text) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (; *text; ++text) {
        h ^= static_cast<unsigned char>(*text);
        h *= 0x100000001B3ull;
    }
    return h;
}

const char* textAt(std::uint64_t address) { return reinterpret_cast<const char*>(address); }

void writeCall(const Call& c) {
    if (!item(Tag::Call)) return;
    putLittle(c.hash, 8);
    putByte(static_cast<unsigned char>(c.argc));
    for (std::uint32_t i = 0; i != c.argc; ++i) {
        putByte(c.kinds[i]);
        const std::uint64_t address = recorder->addresses[i];
        switch (c.kinds[i]) {
        case ArgKind::Text:
            putText(textAt(address), strnlen(textAt(address), format::maxText));
            break;
        case ArgKind::Out:
            putLittle(c.args[i], 4);
            break;
        case ArgKind::Value:
            putVarint(c.args[i]);
            break;
        }
    }
    putByte(c.answer);
    switch (c.answer) {
    case Answer::Int32:
    case Answer::Whole:
        putVarint(c.answers[0]);
        break;
    case Answer::Vector:
        for (std::uint64_t bits : c.answers) putLittle(bits, 4);
        break;
    case Answer::None:
        break;
    }
}

// The call made at the same place of the previous slice, answered anew: the changes alone.
void writeAnswer(const Call& before, const Call& c) {
    if (!item(Tag::NewAnswer)) return;
    const std::size_t answers = c.answer == Answer::Vector ? 3 : c.answer != Answer::None;
    for (std::size_t i = 0; i < answers; ++i) putChange(before.answers[i], c.answers[i]);
    for (std::uint32_t i = 0; i != c.argc; ++i)
        if (c.kinds[i] == ArgKind::Out) putChange(before.args[i], c.args[i]);
}

void pushAs(ArgKind kind, std::uint64_t value) {
    Call& c = recorder->call;
    if (c.argc < c.args.size()) {
        c.kinds[c.argc] = value ? kind : ArgKind::Value; // no text, no address: the value 0
        c.args[c.argc] = value;
        recorder->addresses[c.argc] = value;
    }
    ++c.argc;
}

void answered(Answer answer, const std::uint64_t* slot) {
    Recorder& r = *recorder;
    Call& c = r.call;
    if (c.argc > c.args.size()) return stop(Ending::TooManyArguments); // a replay could not push it
    c.answer = answer;
    c.answers = {};
    switch (answer) {
    case Answer::Int32:
        c.answers[0] = static_cast<std::uint32_t>(slot[0]);
        break;
    case Answer::Whole:
        c.answers[0] = slot[0];
        break;
    case Answer::Vector: {
        const std::uint64_t* next = slot;
        for (std::uint64_t& a : c.answers) a = static_cast<std::uint32_t>(*next++);
        break;
    }
    case Answer::None:
        break;
    }
    for (std::uint32_t i = 0; i != c.argc; ++i) {
        if (c.kinds[i] == ArgKind::Text) c.args[i] = digest(textAt(r.addresses[i]));
        if (c.kinds[i] == ArgKind::Out) {
            std::uint32_t written;
            std::memcpy(&written, textAt(r.addresses[i]), 4);
            c.args[i] = written;
        }
    }
    const Call* before =
        r.position < r.previousCount ? &r.slices[1 - r.current][r.position] : nullptr;
    if (before && sameCall(c, *before) && sameAnswer(c, *before))
        ++r.repeats;
    else if (before && sameCall(c, *before))
        writeAnswer(*before, c);
    else
        writeCall(c);
    if (r.position < format::keptCalls) r.slices[r.current][r.position] = c;
    ++r.position;
}

// The wait ends a slice: how long the slice ran since the last wait ended, and how long the
// wait took, in tick-count milliseconds (the game's time, as near as the plug-in can tell
// without asking the game).
void waited(DWORD ms, DWORD before, DWORD after) {
    Recorder& r = *recorder;
    if (!item(Tag::Wait)) return;
    putVarint(ms);
    putVarint(static_cast<DWORD>(before - r.lastTick));
    putVarint(static_cast<DWORD>(after - before));
    r.lastTick = after;
    r.current = 1 - r.current;
    r.previousCount = std::min(r.position, format::keptCalls);
    r.position = 0;
}

void init(std::uint64_t hash) {
    recorder->call.hash = hash;
    recorder->call.argc = 0;
    nativeInit(hash);
}

// The first call the host lets through while the recorder still waits can only be a new run's:
// the host dropped the script inside that wait (a game load) and started it again. The wait is
// written as it went, up to the new start, then the mark; the new run refers to no slice of
// the old one.
void firstCallOfANewRun(std::uint64_t hash) {
    Recorder& r = *recorder;
    hostLink.init = init;
    waited(r.waitMs, r.waitStart, GetTickCount());
    if (item(Tag::StartedAgain)) r.previousCount = 0;
    hostLink.init(hash); // the host's own, if the mark ended the recording
}
void push(std::uint64_t v) {
    pushAs(ArgKind::Value, v);
    nativePush64(v);
}
void pushText(std::uint64_t v) {
    pushAs(ArgKind::Text, v);
    nativePush64(v);
}
void pushOut(std::uint64_t v) {
    pushAs(ArgKind::Out, v);
    nativePush64(v);
}
std::uint64_t* callAnswering(Answer answer) {
    std::uint64_t* slot = nativeCall();
    answered(answer, slot);
    return slot;
}
std::uint64_t* callVoid() { return callAnswering(Answer::None); }
std::uint64_t* call32() { return callAnswering(Answer::Int32); }
std::uint64_t* call64() { return callAnswering(Answer::Whole); }
std::uint64_t* callVector() { return callAnswering(Answer::Vector); }

void wait(DWORD ms) {
    Recorder& r = *recorder;
    r.waitMs = ms;
    r.waitStart = GetTickCount();
    hostLink.init = firstCallOfANewRun; // until the wait comes back, costing no call a test
    scriptWait(ms);
    if (on) hostLink.init = init;
    const DWORD after = GetTickCount();
    waited(ms, r.waitStart, after);
    if (static_cast<DWORD>(after - r.lastFlush) >= flushEveryMs) {
        r.lastFlush = after;
        flush();
    }
}

constexpr HostLink recorderLink = {init,   push,   pushText,   pushOut, callVoid,
                                   call32, call64, callVector, wait};

// Unloading ends the file with the mark of a whole recording; a game that is killed leaves it
// cut after the last second handed over.
struct AtUnload {
    ~AtUnload() {
        if (!recorder) return;
        stop(Ending::Unloaded);
        delete recorder;
        recorder = nullptr;
    }
} atUnload;

} // namespace

void start(UINT hotkey, std::uint8_t modifiers, INT destroyProp) {
    delete recorder; // a recording that ended before, in a program that starts another
    recorder = new Recorder();
    Recorder& r = *recorder;
    r.file = CreateFileA(".\\Emberlane.rec", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (r.file == INVALID_HANDLE_VALUE) return;
    on = true;
    r.lastTick = r.lastFlush = GetTickCount();
    // The header goes to the file alone, before the first block, with its own CRC.
    constexpr std::string_view version(versionMark + versionAt);
    static_assert(version.size() <= 0xFF, "the header gives the version's length in a byte");
    std::array<unsigned char, sizeof format::magic + 3 + version.size() + 4> header{};
    std::ranges::copy(format::magic, header.begin());
    little(std::span(header).subspan<8, 2>(), format::version);
    header[10] = static_cast<unsigned char>(version.size());
    std::ranges::copy(version, header.begin() + 11);
    little(std::span(header).last<4>(), format::crc32(header.data(), header.size() - 4));
    if (!writeToFile(header.data(), header.size())) return stop(Ending::WriteFailed);
    r.written = header.size();
    item(Tag::Settings);
    putLittle(hotkey, 4);
    putLittle(static_cast<std::uint32_t>(destroyProp), 4);
    putByte(modifiers);
    r.modifiers = modifiers;
    flush();
    if (on) hostLink = recorderLink;
}

void labelFile(const LabelLines& labels) {
    for (const std::string& label : labels)
        if (label.size() > format::maxText) return stop(Ending::LongLabel); // not replayable
    if (!item(Tag::Labels)) return;
    putByte(static_cast<unsigned char>(labelCount));
    for (const std::string& label : labels) putText(label.data(), label.size());
}

void builtInLabels() { item(Tag::BuiltInLabels); }

void hotkeyTest(std::uint32_t now, KeyRead hotkey, const KeyRead* modifiers, std::size_t count) {
    if (!item(Tag::HotkeyTest)) return;
    Recorder& r = *recorder;
    putVarint(now - r.lastNow);
    putVarint(hotkey.time - r.lastTime);
    putVarint(static_cast<std::uint32_t>(hotkey.isUpNow));
    r.lastNow = now;
    r.lastTime = hotkey.time;
    // Only for a hotkey with modifiers: the records it read of them, each time as its
    // difference from the hotkey's.
    if (!r.modifiers) return;
    putByte(static_cast<unsigned char>(count));
    for (std::size_t i = 0; i < count; ++i) {
        putChange(hotkey.time, modifiers[i].time);
        putVarint(static_cast<std::uint32_t>(modifiers[i].isUpNow));
    }
}

} // namespace recording
