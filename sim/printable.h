// Texts from outside the program (a label file, a recording from a stranger) as a line of the
// simulator's output shows them.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// The text such that it can neither end its line nor begin another, nor move the cursor:
// control characters (C0, DEL, C1), the Unicode line separators and direction overrides, and
// '\' and '"' are escaped (\n, \t, \x1B, \u0085, \\, \"), a byte that is no part of UTF-8
// shows as \xNN, and a text longer than a line is cut short with its length said.
std::string printable(std::string_view text);

// The same between quotation marks, where a text stands among words of the program's own.
std::string quoted(std::string_view text);

} // namespace sim
