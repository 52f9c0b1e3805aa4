#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "render/colour.h"

// A picture as the display holds it: lines of cells. What every screen is drawn into (the 3D
// view, the text screens, and pictures composed of parts of them), what the console is given,
// and the unit in which the consoles remember what the window shows, to send only what changed.
namespace brickstorm {

// What one character cell of the window shows. Two cells look the same exactly when they are
// equal, so anything added that changes a cell's look (a colour) belongs here.
struct Cell {
    unsigned char character = ' ';  // in the game's single-byte character set
    CellColour colour = kNoColour;  // the foreground; a blank cell shows none

    friend bool operator==(const Cell&, const Cell&) = default;
};

using CellLine = std::vector<Cell>;

struct Picture {
    std::vector<CellLine> lines;  // top to bottom

    friend bool operator==(const Picture&, const Picture&) = default;
};

// `lines` lines of `columns` blank cells each (none below zero).
Picture blankPicture(int columns, int lines);

// Copies `part` into `into` with the part's top left cell at `column`, `line` of `into` (counted
// from 0, and either may be negative): whatever of the part falls outside `into`'s lines is left
// out.
void placePicture(Picture& into, const Picture& part, int column, int line);

// Writes `text` into `line` of `into` from `column` on, one cell per byte, its cells in `colour`
// (its blanks uncoloured, as a blank shows no foreground); what falls outside is left out.
void placeText(Picture& into, std::string_view text, int column, int line, CellColour colour = kNoColour);

// The picture of a text in the game's character set: one line per '\n'-separated part, one
// uncoloured cell per byte.
Picture pictureFromText(std::string_view text);

// The characters of a picture as text: every line's cells, a '\n' after each line but the last.
std::string pictureText(const Picture& picture);

// Whether two pictures have the same lines of the same lengths, so that one can be turned into
// the other cell by cell.
bool sameLayout(const Picture& a, const Picture& b);

}  // namespace brickstorm
