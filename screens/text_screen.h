#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/picture.h"

namespace brickstorm {

// The lines of a text screen, top to bottom; an empty line is a blank line.
using ScreenLines = std::vector<std::string>;

// Appends one screen line: `text` (at most 90 characters) centred in the 90 columns, the extra
// blank of an odd fit on the right, then the edge and a line break.
void printCentredLine(std::string& screen, std::string_view text);

// The same in `columns` columns; a text wider than them is cut to them.
void printCentredLine(std::string& screen, std::string_view text, std::size_t columns);

// Appends 90 blanks, the edge and a line break.
void printBlankLine(std::string& screen);

// `lines` in an area of `columns` x `rows` cells: each line centred (cut to the columns), the
// extra blank of an odd fit on the right; the lines centred as a block, the odd blank line below
// it (lines beyond the rows left out).
Picture centredLinesPicture(const ScreenLines& lines, std::int32_t columns, std::int32_t rows);

// The picture of a text screen: its lines centred in `rows` lines of `columns` cells, each line
// closed by the edge.
Picture textScreenPicture(const ScreenLines& lines, std::int32_t columns, std::int32_t rows);

// The same in the full picture's 60 lines of 90 cells.
Picture textScreenPicture(const ScreenLines& lines);

// The whole text of a 60-line screen with `lines` centred as a block, the odd line below it;
// the last line has no line break.
std::string composeTextScreen(const ScreenLines& lines);

// The same in `rows` lines of `columns` cells, each followed by the edge.
std::string composeTextScreen(const ScreenLines& lines, std::int32_t columns, std::int32_t rows);

// The lines of a screen as they fit `columns` x `rows`: each run of blank lines shrunk to one
// where the screen is too tall, and its first `bannerLines` lines (with the blank lines after
// them) left out where they are wider than the columns or the screen is still too tall.
ScreenLines fitScreenLines(ScreenLines lines, std::size_t bannerLines, std::int32_t columns,
                           std::int32_t rows);

// The words of `text` on as many lines as they take in `columns` columns; a word longer than a
// line is cut at the line's end.
ScreenLines wrapWords(std::string_view text, std::int32_t columns);

}  // namespace brickstorm
