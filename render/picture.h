#pragma once

#include <string_view>
#include <vector>

#include "render/console.h"

// A picture as the display holds it: lines of cells. The unit in which the consoles remember
// what the window shows, to send only what changed.
namespace brickstorm {

// What one character cell of the window shows. Two cells look the same exactly when they are
// equal, so anything added that changes a cell's look (a colour) belongs here.
struct Cell {
    unsigned char character = ' ';
    CellColour colour = kNoColour;  // the foreground; a blank cell shows none

    friend bool operator==(const Cell&, const Cell&) = default;
};

using CellLine = std::vector<Cell>;

struct Picture {
    std::vector<CellLine> lines;  // top to bottom

    friend bool operator==(const Picture&, const Picture&) = default;
};

// The picture of a screen's text in the game's character set: one line per '\n'-separated part,
// one cell per byte.
Picture pictureFromText(std::string_view text);

// The same, each cell in its colour from `colours` (by line and column; uncoloured where it has
// none). A blank cell shows no foreground, so it is left uncoloured whatever its colour.
Picture pictureFromText(std::string_view text, const FrameColours& colours);

// Whether two pictures have the same lines of the same lengths, so that one can be turned into
// the other cell by cell.
bool sameLayout(const Picture& a, const Picture& b);

}  // namespace brickstorm
