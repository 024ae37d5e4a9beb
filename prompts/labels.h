// The ten prompt texts of Emberlane.dat, so that players can reword or translate them.
#pragma once

#include <array>
#include <cstddef>
#include <string>

inline constexpr std::size_t labelCount = 10;
using LabelLines = std::array<std::string, labelCount>;

// Line n labels one prompt by its position alone; the key before the first "=" is dropped.
// A missing file or missing lines give empty texts.
LabelLines readLabelFile();

// The same rules over text already in memory.
LabelLines parseLabels(const char* text, std::size_t size);
