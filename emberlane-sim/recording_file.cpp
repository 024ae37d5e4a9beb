#include "emberlane-sim/recording_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace recording_file {
namespace {

using format::Answer;
using format::ArgKind;
using format::Tag;

constexpr std::size_t maxSliceText = 16 << 20; // what one slice's kept calls may hold in texts

std::string byteAt(std::uint64_t offset) { return "at byte " + std::to_string(offset); }

std::uint32_t little32(const unsigned char* b) {
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

bool knownTag(unsigned char b) {
    switch (static_cast<Tag>(b)) {
    case Tag::Settings:
    case Tag::Labels:
    case Tag::BuiltInLabels:
    case Tag::Call:
    case Tag::NewAnswer:
    case Tag::Repeat:
    case Tag::Wait:
    case Tag::HotkeyTest:
    case Tag::Unloaded:
    case Tag::Stopped:
    case Tag::StartedAgain:
        return true;
    }
    return false;
}

bool knownReason(unsigned char b) {
    switch (static_cast<format::StopReason>(b)) {
    case format::StopReason::Cap:
    case format::StopReason::TooManyArguments:
    case format::StopReason::LongLabel:
        return true;
    }
    return false;
}

bool knownArgKind(unsigned char b) {
    switch (static_cast<ArgKind>(b)) {
    case ArgKind::Value:
    case ArgKind::Text:
    case ArgKind::Out:
        return true;
    }
    return false;
}

} // namespace

const std::string Arg::noText;

std::string reasonOf(std::uint8_t stopReason) {
    switch (static_cast<format::StopReason>(stopReason)) {
    case format::StopReason::Cap:
        return "it came to its size cap";
    case format::StopReason::TooManyArguments:
        return "a call had more arguments than a recording carries";
    case format::StopReason::LongLabel:
        return "a label line was longer than a recording carries";
    }
    return "it stopped"; // version 1 gives no reason: only the cap stopped it
}

bool Reader::cutAt(std::uint64_t where, const std::string& what) {
    cut = true;
    why = "cut " + byteAt(where) + ", inside " + what;
    return false;
}

bool Reader::damagedAt(std::uint64_t where, const std::string& what) {
    why = "damaged " + byteAt(where) + ": " + what;
    return false;
}

bool Reader::damaged(const std::string& what) { return damagedAt(itemStart, what); }

std::uint64_t Reader::offset() const {
    return blockAt < block.size() ? blockStart + blockAt : fileAt;
}

// The next block, checked whole before any of its bytes is used: the game writes each in one
// piece, so a block cut short is a game killed while writing, and one that fails its check
// is damage.
Reader::BlockRead Reader::nextBlock() {
    const std::uint64_t start = fileAt;
    unsigned char head[format::blockHead];
    const auto headSize = static_cast<std::streamsize>(format::blockHeadOf(version));
    in.read(reinterpret_cast<char*>(head), headSize);
    fileAt += static_cast<std::uint64_t>(in.gcount());
    if (in.gcount() == 0) return BlockRead::NoMore;
    if (in.gcount() < headSize) return cutAt(fileAt, "a block's head"), BlockRead::Failed;
    const std::uint32_t size = little32(head);
    if (size != ~little32(head + 4))
        return damagedAt(start, "a block's size and its check disagree"), BlockRead::Failed;
    if (size == 0 || size > format::maxBlock)
        return damagedAt(start, "a block of " + std::to_string(size) +
                                    " bytes, where a block holds 1 to " +
                                    std::to_string(format::maxBlock)),
               BlockRead::Failed;
    block.resize(size + format::blockTail);
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    fileAt += static_cast<std::uint64_t>(in.gcount());
    if (in.gcount() < static_cast<std::streamsize>(block.size())) {
        block.clear();
        blockAt = 0;
        return cutAt(fileAt, "a block"), BlockRead::Failed;
    }
    const std::uint32_t crc = little32(block.data() + size);
    block.resize(size);
    blockAt = 0;
    blockStart = start + static_cast<std::uint64_t>(headSize);
    // From version 3 the block's number is checked with its items: a block in another's place
    // is damage, never a change of behaviour.
    const bool numbered = version >= 3;
    const std::uint32_t number = numbered ? little32(head + 8) : blockNumber;
    if (format::crc32(block.data(), size, numbered ? format::crc32(head + 8, 4) : 0) != crc) {
        block.clear();
        return damagedAt(start, "the block there (" + std::to_string(size) +
                                    " bytes) does not match its checksum"),
               BlockRead::Failed;
    }
    if (number != blockNumber) {
        block.clear();
        return damagedAt(start, "block " + std::to_string(number) + " stands where block " +
                                    std::to_string(blockNumber) +
                                    " belongs: a block is missing, doubled or out of place"),
               BlockRead::Failed;
    }
    ++blockNumber;
    return BlockRead::Read;
}

bool Reader::read(unsigned char* out, std::size_t size, const char* what) {
    if (version == 1) {
        in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
        fileAt += static_cast<std::uint64_t>(in.gcount());
        return in.gcount() == static_cast<std::streamsize>(size) || cutAt(fileAt, what);
    }
    while (size) {
        if (blockAt == block.size()) {
            switch (nextBlock()) {
            case BlockRead::NoMore:
                return cutAt(fileAt, what);
            case BlockRead::Failed:
                return false;
            case BlockRead::Read:
                break;
            }
        }
        const std::size_t n = std::min(size, block.size() - blockAt);
        std::memcpy(out, block.data() + blockAt, n);
        blockAt += n;
        out += n;
        size -= n;
    }
    return true;
}

bool Reader::byte(unsigned char& b, const char* what) { return read(&b, 1, what); }

bool Reader::little(std::uint64_t& v, int size, const char* what) {
    unsigned char bytes[8];
    if (!read(bytes, static_cast<std::size_t>(size), what)) return false;
    v = 0;
    for (int i = 0; i < size; ++i) v |= std::uint64_t{bytes[i]} << (8 * i);
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
    unsigned char chunk[4096];
    while (out.size() < size) {
        const std::size_t n = std::min<std::size_t>(sizeof chunk, size - out.size());
        if (!read(chunk, n, what)) return false;
        out.append(reinterpret_cast<const char*>(chunk), n);
    }
    return true;
}

bool Reader::readHeader(Header& header) {
    char start[sizeof format::magic];
    in.read(start, sizeof start);
    const auto got = static_cast<std::size_t>(in.gcount());
    fileAt = got;
    if (std::memcmp(start, format::magic, got) != 0) {
        why = "not a recording: it does not begin with EMBERREC";
        return false;
    }
    if (got < sizeof format::magic) return cutAt(fileAt, "the header's EMBERREC");
    version = 1; // the header itself is read alike in every version
    std::uint64_t v;
    unsigned char size;
    if (!little(v, 2, "the header's format version")) return false;
    header.version = static_cast<std::uint16_t>(v);
    if (header.version < format::oldestVersion || header.version > format::version) {
        why = "a recording of format version " + std::to_string(header.version) +
              "; this emberlane-sim reads versions " + std::to_string(format::oldestVersion) +
              " to " + std::to_string(format::version);
        return false;
    }
    if (!byte(size, "the header's plug-in version")) return false;
    header.pluginVersion.resize(size);
    if (!read(reinterpret_cast<unsigned char*>(header.pluginVersion.data()), size,
              "the header's plug-in version"))
        return false;
    if (header.version >= 3) { // the header's bytes, checked: its version text is no guess
        std::uint64_t crc;
        if (!little(crc, 4, "the header's checksum")) return false;
        std::string bytes(format::magic, sizeof format::magic);
        bytes += {static_cast<char>(header.version & 0xFF), static_cast<char>(header.version >> 8),
                  static_cast<char>(size)};
        bytes += header.pluginVersion;
        if (format::crc32(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) !=
            crc)
            return damagedAt(0, "the header does not match its checksum");
    }
    version = header.version;
    return true;
}

bool Reader::readCall(recording_file::Call& c) {
    std::uint64_t v;
    unsigned char b;
    if (!little(c.hash, 8, "a call's hash") || !byte(b, "a call's argument count")) return false;
    if (b > format::maxArgs)
        return damaged("a call of " + std::to_string(b) + " arguments; at most " +
                       std::to_string(format::maxArgs) + " are pushed");
    c.argc = b;
    for (std::uint8_t i = 0; i < c.argc; ++i) {
        Arg& a = c.args[i];
        if (!byte(b, "a call's argument")) return false;
        if (!knownArgKind(b))
            return damaged("an argument of kind " + std::to_string(b) + "; expected v, t or o");
        a.kind = static_cast<ArgKind>(b);
        a.letters.reset();
        a.value = 0;
        bool ok = false;
        switch (a.kind) {
        case ArgKind::Value:
            ok = varint(a.value, "a call's argument");
            break;
        case ArgKind::Text: {
            std::string letters;
            ok = text(letters, format::maxText, "a call's text");
            a.letters = std::make_shared<const std::string>(std::move(letters));
            break;
        }
        case ArgKind::Out:
            ok = little(a.value, 4, "what the game wrote for a call");
            break;
        }
        if (!ok) return false;
    }
    if (!byte(b, "a call's answer")) return false;
    c.answer = static_cast<Answer>(b);
    c.answers = {};
    switch (c.answer) {
    case Answer::None:
        return true;
    case Answer::Int32:
        return varint(v, "a call's answer") &&
               (v <= 0xFFFFFFFFu || damaged("a 32-bit answer of more than 32 bits")) &&
               ((c.answers[0] = v), true);
    case Answer::Whole:
        return varint(c.answers[0], "a call's answer");
    case Answer::Vector:
        for (std::uint64_t& bits : c.answers)
            if (!little(bits, 4, "a call's answer")) return false;
        return true;
    }
    return damaged("an answer of kind " + std::to_string(b) + "; expected n, i, w or c");
}

bool Reader::readHotkeyTest(Item& item) {
    std::uint64_t a, b, c;
    if (!varint(a, "a hotkey test") || !varint(b, "a hotkey test") || !varint(c, "a hotkey test"))
        return false;
    if ((a | b | c) > 0xFFFFFFFFu) return damaged("a hotkey test's value of more than 32 bits");
    lastNow += static_cast<std::uint32_t>(a);
    lastTime += static_cast<std::uint32_t>(b);
    item.now = lastNow;
    item.key = {lastTime, static_cast<std::int32_t>(static_cast<std::uint32_t>(c))};
    item.modifiersRead = 0;
    if (version == 1 || !modifiers) return true;
    unsigned char count;
    if (!byte(count, "a hotkey test's modifiers")) return false;
    // The test reads every modifier the settings name, or none.
    const auto named = static_cast<std::size_t>(std::popcount(modifiers));
    if (count != 0 && count != named)
        return damaged("a hotkey test reading " + std::to_string(count) +
                       " modifiers, where the settings name " + std::to_string(named));
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t time = lastTime, isUpNow;
        if (!change(time, "a modifier's record") || !varint(isUpNow, "a modifier's record"))
            return false;
        if (isUpNow > 0xFFFFFFFFu) return damaged("a modifier's flag of more than 32 bits");
        item.modifierKeys[i] = {static_cast<std::uint32_t>(time),
                                static_cast<std::int32_t>(static_cast<std::uint32_t>(isUpNow))};
    }
    item.modifiersRead = count;
    return true;
}

void Reader::Slice::clear() {
    for (std::size_t i = 0; i < size; ++i)
        for (std::uint8_t a = 0; a < calls[i].argc; ++a) calls[i].args[a].letters.reset();
    size = 0;
}

void Reader::Slice::push(const recording_file::Call& c) {
    if (size < calls.size())
        calls[size] = c;
    else
        calls.push_back(c);
    ++size;
}

// A call of the slice, kept for the next one to refer to; its texts count toward the slice's.
bool Reader::keep(const recording_file::Call& c) {
    Slice& slice = slices[static_cast<std::size_t>(current)];
    if (position < format::keptCalls) {
        for (std::uint8_t i = 0; i < c.argc; ++i) textBytes += c.args[i].text().size();
        if (textBytes > maxSliceText)
            return damaged("more than " + std::to_string(maxSliceText) +
                           " bytes of text in one slice");
        slice.push(c);
    }
    ++position;
    return true;
}

// Whether an item of this kind may stand here: the settings first, the labels once in each
// run's start-up, the mark of a new start right after a wait, nothing after the end's mark.
bool Reader::inPlace(Tag tag) {
    if (!settingsRead && tag != Tag::Settings)
        return damaged("expected the settings, the first item of every recording");
    switch (tag) {
    case Tag::Settings:
        return !settingsRead || damaged("the settings a second time");
    case Tag::Labels:
    case Tag::BuiltInLabels:
        if (!startingUp || labelsRead)
            return damaged("labels where none may stand: the plug-in reads them once at each "
                           "start, before its first wait");
        labelsRead = true;
        return true;
    case Tag::StartedAgain:
        if (version < 3)
            return damaged("the mark of a new start, which version " + std::to_string(version) +
                           " does not know");
        return afterWait || damaged("the mark of a new start where no wait ends before it");
    case Tag::Call:
    case Tag::NewAnswer:
    case Tag::Repeat:
    case Tag::Wait:
    case Tag::HotkeyTest:
    case Tag::Unloaded:
    case Tag::Stopped:
        return true;
    }
    return true;
}

// The end's mark is the file's last item, and its last byte.
bool Reader::nothingAfterTheEnd() {
    ended = true;
    const bool more =
        (version >= 2 && blockAt < block.size()) || in.peek() != std::char_traits<char>::eof();
    return !more || damagedAt(offset(), "bytes after the mark that ends the recording");
}

// A call the file gives as the one at the same place of the slice before.
Reader::Next Reader::repeated(Item& item) {
    item.kind = Item::Call;
    item.call = slices[static_cast<std::size_t>(1 - current)].calls[position];
    --repeats;
    afterWait = false;
    return keep(item.call) ? Next::Item : Next::Damaged;
}

Reader::Next Reader::failure() const { return cut ? Next::Cut : Next::Damaged; }

Reader::Next Reader::next(Item& item) {
    if (repeats) return repeated(item);
    if (ended) return Next::End; // what follows the mark was checked as it was read
    if (version >= 2 && blockAt == block.size()) {
        switch (nextBlock()) {
        case BlockRead::NoMore:
            return Next::End;
        case BlockRead::Failed:
            return failure();
        case BlockRead::Read:
            break;
        }
    }
    if (version == 1 && in.peek() == std::char_traits<char>::eof()) return Next::End;
    itemStart = offset();
    unsigned char tag = 0;
    if (!byte(tag, "an item")) return failure();
    if (!knownTag(tag)) {
        damaged("an item tagged " + std::to_string(tag) +
                "; expected S, L, B, C, A, R, W, K, E, X or G");
        return Next::Damaged;
    }
    if (!inPlace(static_cast<Tag>(tag))) return Next::Damaged;
    afterWait = false;
    if (static_cast<Tag>(tag) == Tag::Repeat) return readRepeat() ? repeated(item) : failure();
    return readItem(static_cast<Tag>(tag), item) ? Next::Item : failure();
}

// What follows the tag, by the tag.
bool Reader::readItem(Tag tag, Item& item) {
    switch (tag) {
    case Tag::Settings:
        return readSettings(item);
    case Tag::Labels:
        return readLabels(item);
    case Tag::BuiltInLabels:
        item.kind = Item::BuiltInLabels;
        return version >= 2 || damaged("built-in labels, which version 1 does not know");
    case Tag::Call:
        item.kind = Item::Call;
        return readCall(item.call) && keep(item.call);
    case Tag::Repeat:
        return readRepeat();
    case Tag::NewAnswer:
        return readNewAnswer(item);
    case Tag::Wait:
        return readWait(item);
    case Tag::StartedAgain: // a new run: its start-up reads the labels again, refers to nothing
        item.kind = Item::StartedAgain;
        slices[static_cast<std::size_t>(1 - current)].clear();
        startingUp = true;
        labelsRead = false;
        return true;
    case Tag::HotkeyTest:
        item.kind = Item::HotkeyTest;
        return readHotkeyTest(item);
    case Tag::Unloaded:
        item.kind = Item::Unloaded;
        return nothingAfterTheEnd();
    case Tag::Stopped:
        return readStop(item);
    }
    return false;
}

bool Reader::readSettings(Item& item) {
    std::uint64_t hotkey = 0, destroyProp = 0;
    item.kind = Item::Settings;
    bool ok = little(hotkey, 4, "the settings") && little(destroyProp, 4, "the settings");
    item.hotkey = static_cast<std::uint32_t>(hotkey);
    item.destroyProp = static_cast<std::int32_t>(static_cast<std::uint32_t>(destroyProp));
    item.modifiers = 0;
    if (ok && version >= 2) {
        unsigned char m = 0;
        ok = byte(m, "the settings") &&
             ((m & ~std::uint32_t{0x7}) == 0 || damaged("unknown modifiers of the hotkey"));
        item.modifiers = modifiers = m;
    }
    settingsRead = ok;
    return ok;
}

bool Reader::readLabels(Item& item) {
    item.kind = Item::Labels;
    unsigned char count = 0;
    bool ok = byte(count, "the label lines") &&
              (count == labelCount ||
               damaged(std::to_string(count) + " label lines; the label file has " +
                       std::to_string(labelCount)));
    for (std::size_t i = 0; ok && i < labelCount; ++i)
        ok = text(item.labels[i], format::maxText, "a label line");
    return ok;
}

bool Reader::readRepeat() {
    const Slice& previous = slices[static_cast<std::size_t>(1 - current)];
    std::uint64_t count = 0;
    if (!varint(count, "a count of repeated calls")) return false;
    if (count == 0 || position >= previous.size || count > previous.size - position)
        return damaged("a repeat of " + std::to_string(count) + " calls from the " +
                       std::to_string(position) + "th of the slice, where the previous slice " +
                       "kept " + std::to_string(previous.size));
    repeats = count;
    return true;
}

// The call at the same place of the slice before, with the changes of its answers.
bool Reader::readNewAnswer(Item& item) {
    const Slice& previous = slices[static_cast<std::size_t>(1 - current)];
    item.kind = Item::Call;
    if (position >= previous.size)
        return damaged("a new answer to the " + std::to_string(position) +
                       "th call of the slice, where the previous slice kept " +
                       std::to_string(previous.size));
    item.call = previous.calls[position];
    recording_file::Call& call = item.call;
    const std::size_t answers = call.answer == Answer::Vector ? 3
                                : call.answer == Answer::None ? 0
                                                              : 1;
    for (std::size_t i = 0; i < answers; ++i)
        if (!change(call.answers[i], "a new answer")) return false;
    for (std::uint8_t i = 0; i < call.argc; ++i)
        if (call.args[i].kind == ArgKind::Out && !change(call.args[i].value, "a new answer"))
            return false;
    const bool wide = call.answer != Answer::Whole &&
                      std::any_of(call.answers.begin(), call.answers.end(),
                                  [](std::uint64_t v) { return v > 0xFFFFFFFFu; });
    const bool wideOut = std::any_of(call.args.begin(), call.args.begin() + call.argc,
                                     [](const recording_file::Arg& a) {
                                         return a.kind == ArgKind::Out && a.value > 0xFFFFFFFFu;
                                     });
    if (wide || wideOut) return damaged("a new 32-bit answer of more than 32 bits");
    return keep(call);
}

bool Reader::readWait(Item& item) {
    std::uint64_t ms = 0, ran = 0, took = 0;
    item.kind = Item::Wait;
    if (!varint(ms, "a wait") || !varint(ran, "a wait") || !varint(took, "a wait")) return false;
    if ((ms | ran | took) > 0xFFFFFFFFu) return damaged("a wait's time of more than 32 bits");
    item.ms = static_cast<std::uint32_t>(ms);
    item.ranMs = static_cast<std::uint32_t>(ran);
    item.tookMs = static_cast<std::uint32_t>(took);
    current = 1 - current;
    slices[static_cast<std::size_t>(current)].clear();
    position = 0;
    textBytes = 0;
    startingUp = false;
    afterWait = true;
    return true;
}

bool Reader::readStop(Item& item) {
    item.kind = Item::Stopped;
    item.reason = 0;
    if (version == 1) return nothingAfterTheEnd(); // version 1 gives no reason
    unsigned char reason = 0;
    if (!byte(reason, "a stop's reason")) return false;
    if (!knownReason(reason)) return damaged("a stop of unknown reason " + std::to_string(reason));
    item.reason = reason;
    return nothingAfterTheEnd();
}

} // namespace recording_file
