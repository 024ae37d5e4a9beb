// The layout of Emberlane.rec, the recording of a session (docs/recording.md, whose words this
// file uses): written by the plug-in (host/recording.cpp), read by the simulator
// (emberlane-sim/recording_file.cpp). A change of the format is an edit here; every switch over
// these enumerations names each of their values, so the compiler points at a case left out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace recording_format {

inline constexpr char magic[8] = {'E', 'M', 'B', 'E', 'R', 'R', 'E', 'C'};
// Version 2 cuts the items into checksummed blocks and adds the hotkey's modifiers, the
// built-in labels and the reason of an early stop. Version 3 numbers the blocks, so that one
// dropped, doubled or moved is damage, checks the header, and marks each start of the script
// after the first (a game load). Version 1 and 2 files still replay.
inline constexpr std::uint16_t version = 3;
inline constexpr std::uint16_t oldestVersion = 1;

inline constexpr std::size_t maxArgs = 16;      // the arguments of one call
inline constexpr std::size_t maxText = 1 << 20; // a label line, or a text handed to the game
inline constexpr std::size_t keptCalls = 1024;  // the calls of a slice that a later one refers to
inline constexpr std::size_t maxModifiers = 3;  // Ctrl, Shift and Alt

// A block: its size, the same size with every bit inverted, its number (version 3: 0, 1, 2…
// in the file's order), the items' bytes, and the CRC-32 of the number and the items (of the
// items alone in version 2). The size is written twice so that damage to it is told from a
// file cut short.
inline constexpr std::size_t maxBlock = 64 << 10;
inline constexpr std::size_t blockHead = 12, blockTail = 4;
inline constexpr std::size_t blockHeadOf(std::uint16_t fileVersion) {
    return fileVersion >= 3 ? 12 : 8;
}

// A recording never passes 256 MiB: the plug-in stops it, with its mark, as soon as the largest
// item it could write next might not fit below that, framed in the blocks it would span. That
// item is a call with every argument a text of the longest kind.
inline constexpr std::uint64_t sizeCap = 256ull << 20;
inline constexpr std::uint64_t largestItem = (maxArgs + 1) * maxText;
inline constexpr std::uint64_t stopRoom =
    largestItem + (largestItem / maxBlock + 2) * (blockHead + blockTail);

enum class Tag : unsigned char {
    Settings = 'S',
    Labels = 'L',        // the lines of Emberlane.dat
    BuiltInLabels = 'B', // no Emberlane.dat: the labels of the game's language (version 2)
    Call = 'C',
    NewAnswer = 'A',
    Repeat = 'R',
    Wait = 'W',
    HotkeyTest = 'K',
    Unloaded = 'E',
    Stopped = 'X',      // with a reason from version 2 on
    StartedAgain = 'G', // the host dropped the script in the wait before and started it anew
};

enum class ArgKind : unsigned char {
    Value = 'v', // a number as pushed
    Text = 't',  // the letters of a text the game read
    Out = 'o',   // an address: what the game wrote there
};

enum class Answer : unsigned char {
    None = 'n',   // the plug-in reads no answer
    Int32 = 'i',  // the slot's low half
    Whole = 'w',  // the whole 64-bit slot: a game text
    Vector = 'c', // three 32-bit floats, at bytes 0, 8 and 16
};

enum class StopReason : unsigned char {
    Cap = 1,              // the file came to its size cap
    TooManyArguments = 2, // a call of more arguments than a call carries
    LongLabel = 3,        // a label line longer than a text may be
};

inline constexpr std::array<std::uint32_t, 256> crcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}();

// CRC-32 as zip files use it (reflected, polynomial 0x04C11DB7); `before` carries on the CRC of
// bytes that came before these.
inline std::uint32_t crc32(const unsigned char* bytes, std::size_t size, std::uint32_t before = 0) {
    std::uint32_t c = ~before;
    for (std::size_t i = 0; i < size; ++i) c = crcTable[(c ^ bytes[i]) & 0xFFu] ^ (c >> 8);
    return ~c;
}

} // namespace recording_format
