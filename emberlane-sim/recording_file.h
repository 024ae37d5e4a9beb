// Reads Emberlane.rec, the recording the plug-in writes of a session in the game
// (docs/recording.md), one item at a time. A recording comes from a stranger: every count and
// length is checked before it is used, a block whose checksum fails is damage and never an
// item, and memory stays bounded whatever the file claims.
#pragma once

#include "host/recording_format.h"
#include "prompts/labels.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace recording_file {

namespace format = recording_format;

struct Arg {
    format::ArgKind kind = format::ArgKind::Value;
    std::uint64_t value = 0; // a value, or the 32 bits the game wrote
    // A text the game read, shared by every call that repeats this one: a repeat costs no copy
    // of it, however long.
    std::shared_ptr<const std::string> letters;

    const std::string& text() const { return letters ? *letters : noText; }
    static const std::string noText;
};

// A game call as the recording holds it.
struct Call {
    std::uint64_t hash = 0;
    std::uint8_t argc = 0;
    std::array<Arg, format::maxArgs> args;
    format::Answer answer = format::Answer::None;
    std::array<std::uint64_t, 3> answers{};

    // A copy takes the arguments in use alone: a replay copies every call it reads, most of a
    // few arguments.
    Call() = default;
    Call(const Call& other) { *this = other; }
    Call& operator=(const Call& other) {
        hash = other.hash;
        argc = other.argc;
        std::copy_n(other.args.begin(), argc, args.begin());
        answer = other.answer;
        answers = other.answers;
        return *this;
    }
    Call(Call&&) = default;
    Call& operator=(Call&&) = default;
    ~Call() = default;
};

// What the hotkey test read of one key's record.
struct KeyRecord {
    std::uint32_t time = 0;
    std::int32_t isUpNow = 0;
};

struct Item {
    // StartedAgain: the host dropped the script in the wait before and started it anew.
    enum Kind {
        Settings,
        Labels,
        BuiltInLabels,
        Call,
        Wait,
        HotkeyTest,
        Unloaded,
        Stopped,
        StartedAgain
    };
    Kind kind = Call;
    std::uint32_t hotkey = 0; // Settings
    std::uint8_t modifiers = 0;
    std::int32_t destroyProp = 0;
    LabelLines labels;             // Labels
    recording_file::Call call;     // Call
    std::uint32_t ms = 0;          // Wait: what the plug-in asked for,
    std::uint32_t ranMs = 0;       // how long the slice before it ran,
    std::uint32_t tookMs = 0;      // how long the wait took
    std::uint32_t now = 0;         // HotkeyTest: the tick count,
    KeyRecord key;                 // the hotkey's last message,
    std::size_t modifiersRead = 0; // and the records of the modifiers it asked about, in
    std::array<KeyRecord, format::maxModifiers> modifierKeys; // the order of keys::modifierKeys
    std::uint8_t reason = 0; // Stopped: a format::StopReason (0 in version 1, which gives none)
};

struct Header {
    std::uint16_t version = 0;
    std::string pluginVersion;
};

// Why a recording stopped early, in words.
std::string reasonOf(std::uint8_t stopReason);

class Reader {
  public:
    explicit Reader(std::istream& file) : in(file) {}

    // False for a file that is not a recording or of a format version it does not read, or
    // that ends inside its header: see problem().
    bool readHeader(Header& header);

    enum class Next { Item, End, Cut, Damaged };
    // The next item; End at the end of the file, Cut when it ends inside an item or a block,
    // Damaged when a block fails its check or is out of its place, or a byte is not what the
    // format allows there: an item where none may stand, anything after the end's mark
    // (problem() says where and what).
    Next next(Item& item);

    // The byte of the file that the reader has come to, and the first byte of the last item.
    std::uint64_t offset() const;
    std::uint64_t itemOffset() const { return itemStart; }
    const std::string& problem() const { return why; }

  private:
    std::istream& in;
    std::uint16_t version = 0;
    std::uint64_t fileAt = 0;    // bytes taken from the file
    std::uint64_t itemStart = 0; // where the item being read begins
    std::string why;
    bool cut = false;
    bool settingsRead = false;
    std::uint8_t modifiers = 0; // the hotkey's, from the settings
    // Where the items stand: in a run's start-up (before its first wait), right after a wait,
    // with the labels read, or at the end's mark.
    bool startingUp = true, afterWait = false, labelsRead = false, ended = false;

    // Version 2: the block being read, its first byte's place in the file, and how far.
    std::vector<unsigned char> block;
    std::uint64_t blockStart = 0;
    std::size_t blockAt = 0;
    std::uint32_t blockNumber = 0; // version 3: the number the next block must carry

    // A slice's kept calls. Their room stays from slice to slice; their texts go at each new one.
    struct Slice {
        std::vector<recording_file::Call> calls;
        std::size_t size = 0;
        void clear();
        void push(const recording_file::Call& c);
    };
    // The slice under way and the one before it, for the repeats and new answers.
    std::array<Slice, 2> slices;
    int current = 0;
    std::size_t position = 0;
    std::uint64_t repeats = 0;
    std::size_t textBytes = 0;
    std::uint32_t lastNow = 0, lastTime = 0;

    enum class BlockRead { Read, NoMore, Failed };
    BlockRead nextBlock();
    bool read(unsigned char* out, std::size_t size, const char* what);
    bool byte(unsigned char& b, const char* what);
    bool little(std::uint64_t& v, int size, const char* what);
    bool varint(std::uint64_t& v, const char* what);
    bool change(std::uint64_t& v, const char* what);
    bool text(std::string& out, std::size_t limit, const char* what);
    bool cutAt(std::uint64_t where, const std::string& what);
    bool damaged(const std::string& what);
    bool damagedAt(std::uint64_t where, const std::string& what);
    Next repeated(Item& item);
    Next failure() const;
    bool readItem(format::Tag tag, Item& item);
    bool readSettings(Item& item);
    bool readLabels(Item& item);
    bool readRepeat();
    bool readNewAnswer(Item& item);
    bool readWait(Item& item);
    bool readStop(Item& item);
    bool readCall(recording_file::Call& c);
    bool readHotkeyTest(Item& item);
    bool keep(const recording_file::Call& c);
    bool inPlace(format::Tag tag);
    bool nothingAfterTheEnd();
};

} // namespace recording_file
