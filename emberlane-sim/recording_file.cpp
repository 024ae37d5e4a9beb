#include "emberlane-sim/recording_file.h"

#include <cstring>

namespace recording_file {
namespace {

constexpr char magic[8] = {'E', 'M', 'B', 'E', 'R', 'R', 'E', 'C'};
constexpr std::size_t sliceCalls = 1024; // as the recorder keeps them
constexpr std::size_t maxSliceText = 16 << 20; // what one slice's kept calls may hold in texts

std::string byteAt(std::uint64_t offset) { return "at byte " + std::to_string(offset); }

} // namespace

bool Reader::byte(unsigned char& b, const char* what) {
    const int c = in.get();
    if (c == std::char_traits<char>::eof()) {
        cut = true;
        why = "cut " + byteAt(at) + ", inside " + what;
        return false;
    }
    b = static_cast<unsigned char>(c);
    ++at;
    return true;
}

bool Reader::little(std::uint64_t& v, int size, const char* what) {
    v = 0;
    for (int i = 0; i < size; ++i) {
        unsigned char b;
        if (!byte(b, what)) return false;
        v |= std::uint64_t{b} << (8 * i);
    }
    return true;
}

bool Reader::varint(std::uint64_t& v, const char* what) {
    v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        unsigned char b;
        if (!byte(b, what)) return false;
        if (shift == 63 && b > 1) break;
        v |= std::uint64_t{b & 0x7Fu} << shift;
        if (!(b & 0x80)) return true;
    }
    return damaged(std::string("a number longer than 64 bits in ") + what);
}

bool Reader::change(std::uint64_t& v, const char* what) {
    std::uint64_t zigzag;
    if (!varint(zigzag, what)) return false;
    v += (zigzag >> 1) ^ (~(zigzag & 1) + 1);
    return true;
}

bool Reader::text(std::string& out, std::size_t limit, const char* what) {
    std::uint64_t size;
    if (!varint(size, what)) return false;
    if (size > limit)
        return damaged(std::string("a text of ") + std::to_string(size) + " bytes in " + what +
                       ", where at most " + std::to_string(limit) + " are written");
    out.clear();
    char chunk[4096];
    while (out.size() < size) {
        const std::size_t n = std::min<std::size_t>(sizeof chunk, size - out.size());
        in.read(chunk, static_cast<std::streamsize>(n));
        const auto got = static_cast<std::size_t>(in.gcount());
        out.append(chunk, got);
        at += got;
        if (got < n) {
            cut = true;
            why = "cut " + byteAt(at) + ", inside " + what;
            return false;
        }
    }
    return true;
}

bool Reader::damaged(const std::string& what) {
    why = "damaged " + byteAt(itemStart) + ": " + what;
    return false;
}

bool Reader::readHeader(Header& header) {
    char start[sizeof magic];
    in.read(start, sizeof start);
    const auto got = static_cast<std::size_t>(in.gcount());
    at = got;
    if (std::memcmp(start, magic, got) != 0) {
        why = "not a recording: it does not begin with EMBERREC";
        return false;
    }
    if (got < sizeof magic) {
        why = "cut " + byteAt(at) + ", inside the header's EMBERREC";
        return false;
    }
    std::uint64_t version;
    unsigned char size;
    if (!little(version, 2, "the header's format version")) return false;
    header.version = static_cast<std::uint16_t>(version);
    if (header.version != formatVersion) {
        why = "a recording of format version " + std::to_string(header.version) +
              "; this emberlane-sim reads version " + std::to_string(formatVersion);
        return false;
    }
    if (!byte(size, "the header's plug-in version")) return false;
    header.pluginVersion.resize(size);
    for (char& c : header.pluginVersion) {
        unsigned char b;
        if (!byte(b, "the header's plug-in version")) return false;
        c = static_cast<char>(b);
    }
    return true;
}

bool Reader::readCall(recording_file::Call& c) {
    std::uint64_t v;
    unsigned char b;
    if (!little(c.hash, 8, "a call's hash") || !byte(b, "a call's argument count")) return false;
    if (b > maxArgs)
        return damaged("a call of " + std::to_string(b) + " arguments; at most " +
                       std::to_string(maxArgs) + " are pushed");
    c.argc = b;
    for (std::uint8_t i = 0; i < c.argc; ++i) {
        Arg& a = c.args[i];
        if (!byte(b, "a call's argument")) return false;
        a.kind = static_cast<char>(b);
        a.text.clear();
        a.value = 0;
        const bool ok =
            a.kind == 'v'   ? varint(a.value, "a call's argument")
            : a.kind == 't' ? text(a.text, maxText, "a call's text")
            : a.kind == 'o'
                ? little(a.value, 4, "what the game wrote for a call")
                : damaged("an argument of kind '" + std::to_string(b) + "'; expected v, t or o");
        if (!ok) return false;
    }
    if (!byte(b, "a call's answer")) return false;
    c.answer = static_cast<char>(b);
    c.answers[0] = c.answers[1] = c.answers[2] = 0;
    switch (c.answer) {
    case 'n':
        return true;
    case 'i':
        return varint(v, "a call's answer") &&
               (v <= 0xFFFFFFFFu || damaged("a 32-bit answer of more than 32 bits")) &&
               ((c.answers[0] = v), true);
    case 'w':
        return varint(c.answers[0], "a call's answer");
    case 'c':
        return little(c.answers[0], 4, "a call's answer") &&
               little(c.answers[1], 4, "a call's answer") &&
               little(c.answers[2], 4, "a call's answer");
    default:
        return damaged("an answer of kind " + std::to_string(b) + "; expected n, i, w or c");
    }
}

void Reader::keep(const recording_file::Call& c) {
    std::vector<recording_file::Call>& slice = slices[current];
    if (position < sliceCalls) {
        for (std::uint8_t i = 0; i < c.argc; ++i) textBytes += c.args[i].text.size();
        slice.push_back(c);
    }
    ++position;
}

Reader::Next Reader::next(Item& item) {
    const std::vector<recording_file::Call>& previous = slices[1 - current];
    if (repeats) {
        item.kind = Item::Call;
        item.call = previous[position];
        --repeats;
        keep(item.call);
        return Next::Item;
    }
    itemStart = at;
    unsigned char tag;
    if (in.peek() == std::char_traits<char>::eof()) return Next::End;
    byte(tag, "an item");
    std::uint64_t a = 0, b = 0, c = 0;
    bool ok = true;
    switch (tag) {
    case 'S':
        item.kind = Item::Settings;
        ok = little(a, 4, "the settings") && little(b, 4, "the settings");
        item.hotkey = static_cast<std::uint32_t>(a);
        item.destroyProp = static_cast<std::int32_t>(static_cast<std::uint32_t>(b));
        break;
    case 'L': {
        item.kind = Item::Labels;
        unsigned char count;
        ok = byte(count, "the label lines") &&
             (count == labelCount ||
              damaged(std::to_string(count) + " label lines; the label file has " +
                      std::to_string(labelCount)));
        for (std::size_t i = 0; ok && i < labelCount; ++i)
            ok = text(item.labels[i], maxText, "a label line");
        break;
    }
    case 'C':
        item.kind = Item::Call;
        ok = readCall(item.call);
        if (ok) keep(item.call);
        if (ok && textBytes > maxSliceText)
            ok = damaged("more than " + std::to_string(maxSliceText) +
                         " bytes of text in one slice");
        break;
    case 'R':
        ok = varint(a, "a count of repeated calls");
        if (ok && (a == 0 || position >= previous.size() || a > previous.size() - position))
            ok = damaged("a repeat of " + std::to_string(a) + " calls from the " +
                         std::to_string(position) + "th of the slice, where the previous slice " +
                         "kept " + std::to_string(previous.size()));
        if (!ok) break;
        repeats = a;
        return next(item);
    case 'A': {
        item.kind = Item::Call;
        if (position >= previous.size()) {
            ok = damaged("a new answer to the " + std::to_string(position) +
                         "th call of the slice, where the previous slice kept " +
                         std::to_string(previous.size()));
            break;
        }
        item.call = previous[position];
        recording_file::Call& call = item.call;
        const int answers = call.answer == 'c' ? 3 : call.answer == 'n' ? 0 : 1;
        for (int i = 0; ok && i < answers; ++i) ok = change(call.answers[i], "a new answer");
        for (std::uint8_t i = 0; ok && i < call.argc; ++i)
            if (call.args[i].kind == 'o') ok = change(call.args[i].value, "a new answer");
        if (ok && ((call.answer == 'i' && call.answers[0] > 0xFFFFFFFFu) ||
                   (call.answer == 'c' &&
                    (call.answers[0] | call.answers[1] | call.answers[2]) > 0xFFFFFFFFu)))
            ok = damaged("a new 32-bit answer of more than 32 bits");
        for (std::uint8_t i = 0; ok && i < call.argc; ++i)
            if (call.args[i].kind == 'o' && call.args[i].value > 0xFFFFFFFFu)
                ok = damaged("a new 32-bit answer of more than 32 bits");
        if (ok) keep(call);
        break;
    }
    case 'W':
        item.kind = Item::Wait;
        ok = varint(a, "a wait") && varint(b, "a wait") && varint(c, "a wait") &&
             ((a | b | c) <= 0xFFFFFFFFu || damaged("a wait's time of more than 32 bits"));
        item.ms = static_cast<std::uint32_t>(a);
        item.ranMs = static_cast<std::uint32_t>(b);
        item.tookMs = static_cast<std::uint32_t>(c);
        if (ok) {
            current = 1 - current;
            slices[current].clear();
            position = 0;
            textBytes = 0;
        }
        break;
    case 'K':
        item.kind = Item::Hotkey;
        ok = varint(a, "a hotkey test") && varint(b, "a hotkey test") &&
             varint(c, "a hotkey test") &&
             ((a | b | c) <= 0xFFFFFFFFu || damaged("a hotkey test's value of more than 32 bits"));
        lastNow += static_cast<std::uint32_t>(a);
        lastTime += static_cast<std::uint32_t>(b);
        item.now = lastNow;
        item.time = lastTime;
        item.isUpNow = static_cast<std::int32_t>(static_cast<std::uint32_t>(c));
        break;
    case 'E':
        item.kind = Item::Unloaded;
        break;
    case 'X':
        item.kind = Item::Capped;
        break;
    default:
        ok = damaged("an item tagged " + std::to_string(tag) +
                     "; expected S, L, C, A, R, W, K, E or X");
    }
    if (ok) return Next::Item;
    return cut ? Next::Cut : Next::Damaged;
}

} // namespace recording_file
