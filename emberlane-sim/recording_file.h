// Reads Emberlane.rec, the recording the plug-in writes of a session in the game
// (docs/recording.md), one item at a time. A recording comes from a stranger: every count and
// length is checked before it is used, and memory stays bounded whatever the file claims.
#pragma once

#include "prompts/labels.h"

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace recording_file {

inline constexpr std::uint16_t formatVersion = 1;
inline constexpr std::size_t maxArgs = 16;
inline constexpr std::size_t maxText = 1 << 20; // a label line, or a text handed to the game

struct Arg {
    char kind = 'v';         // 'v' a value, 't' a text, 'o' where the game wrote an answer
    std::uint64_t value = 0; // a value, or the 32 bits the game wrote
    std::string text;
};

struct Call {
    std::uint64_t hash = 0;
    std::uint8_t argc = 0;
    Arg args[maxArgs];
    char answer = 'n'; // 'n' none read, 'i' 32 bits, 'w' 64 bits, 'c' three singles
    std::uint64_t answers[3] = {};
};

struct Item {
    enum Kind { Settings, Labels, Call, Wait, Hotkey, Unloaded, Capped };
    Kind kind = Call;
    std::uint32_t hotkey = 0; // Settings
    std::int32_t destroyProp = 0;
    LabelLines labels;               // Labels
    recording_file::Call call;       // Call
    std::uint32_t ms = 0;            // Wait: what the plug-in asked for,
    std::uint32_t ranMs = 0;         // how long the slice before it ran,
    std::uint32_t tookMs = 0;        // how long the wait took
    std::uint32_t now = 0, time = 0; // Hotkey: the tick count and the key's last message
    std::int32_t isUpNow = 0;
};

struct Header {
    std::uint16_t version = 0;
    std::string pluginVersion;
};

class Reader {
  public:
    explicit Reader(std::istream& file) : in(file) {}

    // False for a file that is not a recording or of another format version: see problem().
    bool readHeader(Header& header);

    enum class Next { Item, End, Cut, Damaged };
    // The next item; End at the end of the file, Cut when it ends inside an item, Damaged when
    // a byte is not what the format allows there (problem() says where and what).
    Next next(Item& item);

    std::uint64_t offset() const { return at; }
    const std::string& problem() const { return why; }

  private:
    std::istream& in;
    std::uint64_t at = 0;
    std::uint64_t itemStart = 0;
    std::string why;
    bool cut = false;

    // The slice under way and the one before it, for the repeats.
    std::vector<recording_file::Call> slices[2];
    int current = 0;
    std::size_t position = 0;
    std::uint64_t repeats = 0;
    std::size_t textBytes = 0;
    std::uint32_t lastNow = 0, lastTime = 0;

    bool byte(unsigned char& b, const char* what);
    bool little(std::uint64_t& v, int size, const char* what);
    bool varint(std::uint64_t& v, const char* what);
    bool change(std::uint64_t& v, const char* what);
    bool text(std::string& out, std::size_t limit, const char* what);
    bool damaged(const std::string& what);
    bool readCall(recording_file::Call& c);
    void keep(const recording_file::Call& c);
};

} // namespace recording_file
