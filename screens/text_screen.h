#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brickstorm {

// The lines of a text screen, top to bottom; an empty line is a blank line.
using ScreenLines = std::vector<std::string>;

// Appends one screen line: `text` (at most 90 characters) centred in the 90 columns, the extra
// blank of an odd fit on the right, then the edge and a line break.
void printCentredLine(std::string& screen, std::string_view text);

// Appends 90 blanks, the edge and a line break.
void printBlankLine(std::string& screen);

// The whole text of a 60-line screen with `lines` centred as a block, the odd line below it;
// the last line has no line break.
std::string composeTextScreen(const ScreenLines& lines);

}  // namespace brickstorm
