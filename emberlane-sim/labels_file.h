// Emberlane.dat as the plug-in reads it, for the simulator: the header's lines that answer a
// translator's "why does my prompt show nothing, or this".
#pragma once

#include <string>

namespace labels_file {

// Where the labels came from (`source`), then a line for each label the game would not show as
// its translator meant: missing or empty (the game shows an empty prompt), longer than the
// translators' guide allows, not UTF-8, or on a line without '=' (the whole line is the label).
std::string header(const std::string& text, const std::string& source);

} // namespace labels_file
