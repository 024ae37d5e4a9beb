// The ten prompt texts: the player's own in Emberlane.dat, so that they can be reworded or
// translated, or else those built in for the language the game speaks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t labelCount = 10;
using LabelLines = std::array<std::string, labelCount>;

// Line n labels one prompt by its position alone; the key before the first "=" is dropped.
// A file that cannot be opened gives the built-in labels of the game's language; a file with
// missing lines gives empty texts for them.
LabelLines readLabelFile();

// The same rules over text already in memory.
LabelLines parseLabels(const char* text, std::size_t size);

// A label file built into the plug-in (from dist/translations/), for one of the game's
// languages: its folder's name there and the file's bytes.
struct BuiltInLabels {
    const char* language;
    const char* text;
    std::size_t size;
};
// By the number the game gives each language: 0 English, 1 French, 2 German, 3 Italian,
// 4 Spanish (Spain), 5 Portuguese (Brazil), 6 Polish, 7 Russian, 8 Korean, 9 Chinese
// (Traditional), 10 Japanese, 11 Spanish (Mexico), 12 Chinese (Simplified).
inline constexpr std::size_t gameLanguages = 13;
extern const std::array<BuiltInLabels, gameLanguages> builtInLabelSets;

// The built-in labels of the language the game names; English for a number it does not know.
LabelLines builtInLabels(std::int32_t language);
