// The recorder: stands in front of the host's functions and writes down what the game
// answered, with the plug-in's own calls, the waits and what the hotkey test read. It writes
// through a buffer, hands it to the file at least once a second and stops for good at the
// first write that fails, leaving the plug-in to play on as if it had never recorded.
#include "host/recording.h"

#include "host/host_interface.h"

#include <algorithm>
#include <cstring>

// The host's own functions, until a recording puts the recorder in front of them. Constant:
// filled in before any of the plug-in's own start-up runs.
constinit HostLink hostLink = {nativeInit, nativePush64, nativePush64, nativePush64, nativeCall,
                               nativeCall, nativeCall,   nativeCall,   scriptWait};

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

constexpr char magic[8] = {'E', 'M', 'B', 'E', 'R', 'R', 'E', 'C'};
constexpr std::uint16_t formatVersion = 1;
constexpr std::size_t maxArgs = 16;
constexpr std::size_t sliceCalls = 1024; // calls of a slice kept to be repeated
constexpr std::size_t maxText = 1 << 20; // a label line or a text handed to the game
constexpr std::uint64_t sizeCap = 256ull << 20;
// More than a call with every argument a text of the longest kind and all their framing: no
// item is larger.
constexpr std::uint64_t largestItem = (maxArgs + 1) * maxText;
constexpr DWORD flushEveryMs = 1000;

// One call as the recording knows it: a text by a digest of its letters (the letters go into
// the file), an out-parameter by what the game wrote there.
struct Call {
    std::uint64_t hash;
    std::uint32_t argc;
    char kinds[maxArgs];
    std::uint64_t args[maxArgs];
    char answer;
    std::uint64_t answers[3];
};

// The same call: the same native with the same arguments, answered or not alike.
bool sameCall(const Call& a, const Call& b) {
    if (a.hash != b.hash || a.argc != b.argc || a.answer != b.answer) return false;
    for (std::uint32_t i = 0; i != a.argc; ++i)
        if (a.kinds[i] != b.kinds[i] || (a.kinds[i] != 'o' && a.args[i] != b.args[i])) return false;
    return true;
}

bool sameAnswer(const Call& a, const Call& b) {
    for (std::uint32_t i = 0; i != a.argc; ++i)
        if (a.kinds[i] == 'o' && a.args[i] != b.args[i]) return false;
    return a.answers[0] == b.answers[0] && a.answers[1] == b.answers[1] &&
           a.answers[2] == b.answers[2];
}

// Made zeroed, when a recording starts.
struct Recorder {
    HANDLE file;
    unsigned char buffer[64 << 10];
    std::size_t used;
    std::uint64_t written; // handed to the file
    DWORD lastFlush;
    DWORD lastTick;
    std::uint32_t lastNow, lastTime;

    // This slice's calls and the previous one's: a call made again at the same place of the
    // next slice, with the same answer, is written as part of a count.
    Call slices[2][sliceCalls];
    int current;
    std::size_t position, previousCount;
    std::uint64_t repeats;

    Call call;                        // the call under way
    std::uint64_t addresses[maxArgs]; // its texts and out-parameters, where they lie
};

Recorder* r = nullptr;

void stop() {
    hostLink = {nativeInit, nativePush64, nativePush64, nativePush64, nativeCall,
                nativeCall, nativeCall,   nativeCall,   scriptWait};
    on = false;
    CloseHandle(r->file);
}

// Every write below does nothing once the recording has stopped: a failed write stops it for
// good, and what follows need not ask.
void flush() {
    if (!on) return;
    if (!r->used) return;
    DWORD done;
    if (!WriteFile(r->file, r->buffer, static_cast<DWORD>(r->used), &done, nullptr) ||
        done != r->used)
        return stop();
    r->written += r->used;
    r->used = 0;
}

void put(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (on && size) {
        if (r->used == sizeof r->buffer) flush();
        const std::size_t n = std::min(size, sizeof r->buffer - r->used);
        std::memcpy(r->buffer + r->used, bytes, n);
        r->used += n;
        bytes += n;
        size -= n;
    }
}

void putByte(unsigned char b) { put(&b, 1); }

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

// Room for one more item, whatever it is, below the cap; at the cap, the mark that says so
// ends the recording.
bool room() {
    if (!on) return false;
    if (r->written + r->used + largestItem < sizeCap) return true;
    putByte('X');
    flush();
    stop();
    return false;
}

// Begins an item, once the calls just made again as they were are written as one count;
// false when there is no room for it.
bool item(char tag) {
    if (r->repeats && room()) {
        putByte('R');
        putVarint(r->repeats);
    }
    r->repeats = 0;
    if (!room()) return false;
    putByte(static_cast<unsigned char>(tag));
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
    if (!item('C')) return;
    putLittle(c.hash, 8);
    putByte(static_cast<unsigned char>(c.argc));
    for (std::uint32_t i = 0; i != c.argc; ++i) {
        putByte(c.kinds[i]);
        if (c.kinds[i] == 't')
            putText(textAt(r->addresses[i]), strnlen(textAt(r->addresses[i]), maxText));
        else if (c.kinds[i] == 'o')
            putLittle(c.args[i], 4);
        else
            putVarint(c.args[i]);
    }
    putByte(c.answer);
    if (c.answer == 'i' || c.answer == 'w') putVarint(c.answers[0]);
    if (c.answer == 'c')
        for (std::uint64_t single : c.answers) putLittle(single, 4);
}

// The call made at the same place of the previous slice, answered anew: the changes alone.
void writeAnswer(const Call& before, const Call& c) {
    if (!item('A')) return;
    const int answers = c.answer == 'c' ? 3 : c.answer != 'n'; // three singles, one value or none
    for (int i = 0; i < answers; ++i) putChange(before.answers[i], c.answers[i]);
    for (std::uint32_t i = 0; i != c.argc; ++i)
        if (c.kinds[i] == 'o') putChange(before.args[i], c.args[i]);
}

void pushAs(char kind, std::uint64_t value) {
    Call& c = r->call;
    if (c.argc < maxArgs) {
        c.kinds[c.argc] = value ? kind : 'v'; // no text, no address: the value 0
        c.args[c.argc] = value;
        r->addresses[c.argc] = value;
    }
    ++c.argc;
}

void answered(char answer, const std::uint64_t* slot) {
    Call& c = r->call;
    if (c.argc > maxArgs) return stop(); // more than a call can carry: not recordable
    c.answer = answer;
    c.answers[0] = c.answers[1] = c.answers[2] = 0;
    if (answer == 'i') c.answers[0] = static_cast<std::uint32_t>(slot[0]);
    if (answer == 'w') c.answers[0] = slot[0];
    if (answer == 'c')
        for (int i = 0; i < 3; ++i) c.answers[i] = static_cast<std::uint32_t>(slot[i]);
    for (std::uint32_t i = 0; i != c.argc; ++i) {
        if (c.kinds[i] == 't') c.args[i] = digest(textAt(r->addresses[i]));
        if (c.kinds[i] == 'o') {
            std::uint32_t written;
            std::memcpy(&written, textAt(r->addresses[i]), 4);
            c.args[i] = written;
        }
    }
    const Call* before =
        r->position < r->previousCount ? &r->slices[1 - r->current][r->position] : nullptr;
    if (before && sameCall(c, *before) && sameAnswer(c, *before))
        ++r->repeats;
    else if (before && sameCall(c, *before))
        writeAnswer(*before, c);
    else
        writeCall(c);
    if (r->position < sliceCalls) r->slices[r->current][r->position] = c;
    ++r->position;
}

void init(std::uint64_t hash) {
    r->call.hash = hash;
    r->call.argc = 0;
    nativeInit(hash);
}
void push(std::uint64_t v) {
    pushAs('v', v);
    nativePush64(v);
}
void pushText(std::uint64_t v) {
    pushAs('t', v);
    nativePush64(v);
}
void pushOut(std::uint64_t v) {
    pushAs('o', v);
    nativePush64(v);
}
std::uint64_t* callAnswering(char answer) {
    std::uint64_t* slot = nativeCall();
    answered(answer, slot);
    return slot;
}
std::uint64_t* callVoid() { return callAnswering('n'); }
std::uint64_t* call32() { return callAnswering('i'); }
std::uint64_t* call64() { return callAnswering('w'); }
std::uint64_t* callVector() { return callAnswering('c'); }

// A wait ends a slice. Its item says how long the slice ran since the last wait ended and how
// long the wait took, in tick-count milliseconds: the game's time, as near as the plug-in can
// tell without asking the game.
void wait(DWORD ms) {
    const DWORD before = GetTickCount();
    scriptWait(ms);
    const DWORD after = GetTickCount();
    if (!item('W')) return;
    putVarint(ms);
    putVarint(static_cast<DWORD>(before - r->lastTick));
    putVarint(static_cast<DWORD>(after - before));
    r->lastTick = after;
    r->current = 1 - r->current;
    r->previousCount = std::min(r->position, sliceCalls);
    r->position = 0;
    if (static_cast<DWORD>(after - r->lastFlush) >= flushEveryMs) {
        r->lastFlush = after;
        flush();
    }
}

// Unloading ends the file with the mark of a whole recording; a game that is killed leaves it
// cut after the last second handed over.
struct AtUnload {
    ~AtUnload() {
        if (on) {
            item('E');
            flush();
        }
        if (on) stop();
        delete r;
        r = nullptr;
    }
} atUnload;

} // namespace

void start(UINT hotkey, INT destroyProp) {
    r = new Recorder();
    r->file = CreateFileA(".\\Emberlane.rec", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (r->file == INVALID_HANDLE_VALUE) return;
    on = true;
    r->lastTick = r->lastFlush = GetTickCount();
    const std::size_t version = std::strlen(EMBERLANE_VERSION_TEXT) & 0xFF;
    put(magic, sizeof magic);
    putLittle(formatVersion, 2);
    putByte(static_cast<unsigned char>(version));
    put(EMBERLANE_VERSION_TEXT, version);
    putByte('S');
    putLittle(hotkey, 4);
    putLittle(static_cast<std::uint32_t>(destroyProp), 4);
    flush();
    if (on) hostLink = {init, push, pushText, pushOut, callVoid, call32, call64, callVector, wait};
}

void labelLines(const LabelLines& labels) {
    for (const std::string& label : labels)
        if (label.size() > maxText) return stop(); // more than a replay takes
    if (!item('L')) return;
    putByte(labelCount);
    for (const std::string& label : labels) putText(label.data(), label.size());
}

void hotkeyTest(std::uint32_t now, std::uint32_t time, std::int32_t isUpNow) {
    if (!item('K')) return;
    putVarint(now - r->lastNow);
    putVarint(time - r->lastTime);
    putVarint(static_cast<std::uint32_t>(isUpNow));
    r->lastNow = now;
    r->lastTime = time;
}

} // namespace recording
