#include "terminal/picture_update.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "terminal/terminal_sequences.h"

namespace brickstorm::terminal {

namespace {

// The bytes of a picture as they are built, and the foreground colour the terminal will be
// writing in once it has read them: a colour is sent only where it changes along the output.
struct Output {
    std::string bytes;
    CellColour pen = kNoColour;
};

// A blank shows no foreground: it is sent in whatever colour the pen has, saving two changes.
void appendCell(Output& out, const Cell& cell, CellEncoder encode) {
    if (cell.colour != out.pen && cell.character != ' ') {
        appendForeground(out.bytes, cell.colour, out.pen);
        out.pen = cell.colour;
    }
    out.bytes.append(encode(cell.character));
}

void appendCells(Output& out, const CellLine& cells, std::size_t from, std::size_t to, CellEncoder encode) {
    for (std::size_t c = from; c < to; ++c) {
        appendCell(out, cells[c], encode);
    }
}

int toCount(std::size_t value) { return static_cast<int>(value); }

// The line in full, from its first column.
Output wholeLine(Output out, const CellLine& cells, std::size_t line, CellEncoder encode) {
    appendCursorTo(out.bytes, toCount(line) + 1, 1);
    appendCells(out, cells, 0, cells.size(), encode);
    return out;
}

// The changed runs of one line. Between two runs on the line, the cursor skips the unchanged
// cells, unless sending them again is no longer than the move itself.
Output changedRuns(Output out, const CellLine& shown, const CellLine& next, std::size_t line,
                   CellEncoder encode) {
    std::size_t cursor = 0;  // the column after the last cell sent
    bool placed = false;
    std::size_t c = 0;
    while (c < next.size()) {
        if (shown[c] == next[c]) {
            ++c;
            continue;
        }
        if (!placed) {
            appendCursorTo(out.bytes, toCount(line) + 1, toCount(c) + 1);
            placed = true;
        } else {
            std::string skip;
            appendCursorForward(skip, toCount(c - cursor));
            Output resent{std::string{}, out.pen};
            appendCells(resent, next, cursor, c, encode);
            if (resent.bytes.size() <= skip.size()) {
                out.bytes.append(resent.bytes);
                out.pen = resent.pen;
            } else {
                out.bytes.append(skip);
            }
        }
        const std::size_t runStart = c;
        while (c < next.size() && !(shown[c] == next[c])) {
            ++c;
        }
        appendCells(out, next, runStart, c, encode);
        cursor = c;
    }
    return out;
}

// The terminal's own colour again once the picture is out, so that whatever comes after it (a
// text screen, the shell after the give-back) is not coloured; nothing when no colour was sent.
std::string endingUncoloured(Output out) {
    if (out.pen != kNoColour) {
        out.bytes.append(kResetAttributes);
    }
    return std::move(out.bytes);
}

// Whether a changed cell is written in the pass for `colour`: a non-blank cell of that colour,
// and any blank in the first pass (a blank shows no foreground).
bool writtenInPass(const Cell& cell, CellColour colour, bool firstPass) {
    return cell.character == ' ' ? firstPass : cell.colour == colour;
}

// The colours of the changed cells that are not blank, in the order they first appear.
std::vector<CellColour> changedColours(const Picture& shown, const Picture& next) {
    std::vector<CellColour> colours;
    for (std::size_t line = 0; line < next.lines.size(); ++line) {
        const CellLine& before = shown.lines[line];
        const CellLine& after = next.lines[line];
        for (std::size_t c = 0; c < after.size(); ++c) {
            if (!(before[c] == after[c]) && after[c].character != ' ' &&
                std::find(colours.begin(), colours.end(), after[c].colour) == colours.end()) {
                colours.push_back(after[c].colour);
            }
        }
    }
    return colours;
}

// The changed cells one colour at a time, each colour set once and its cells placed by cursor
// moves: where the changes alternate between colours along the lines (the edges of something
// moving in front of a wall), far fewer colour sequences than in line order.
Output changedCellsByColour(const Picture& shown, const Picture& next, CellEncoder encode) {
    Output out;
    std::vector<CellColour> colours = changedColours(shown, next);
    if (colours.empty()) {
        colours.push_back(kNoColour);  // only blanks changed
    }
    for (std::size_t pass = 0; pass < colours.size(); ++pass) {
        for (std::size_t line = 0; line < next.lines.size(); ++line) {
            const CellLine& before = shown.lines[line];
            const CellLine& after = next.lines[line];
            bool placed = false;
            std::size_t cursor = 0;
            std::size_t c = 0;
            while (c < after.size()) {
                if (before[c] == after[c] || !writtenInPass(after[c], colours[pass], pass == 0)) {
                    ++c;
                    continue;
                }
                if (placed) {
                    appendCursorForward(out.bytes, toCount(c - cursor));
                } else {
                    appendCursorTo(out.bytes, toCount(line) + 1, toCount(c) + 1);
                    placed = true;
                }
                while (c < after.size() && !(before[c] == after[c]) &&
                       writtenInPass(after[c], colours[pass], pass == 0)) {
                    appendCell(out, after[c], encode);
                    ++c;
                }
                cursor = c;
            }
        }
    }
    return out;
}

}  // namespace

std::string wholePictureBytes(const Picture& picture, CellEncoder encode) {
    Output out{std::string(kClearScreen)};  // leaves the cursor at the top left, where line 1 starts
    for (std::size_t line = 0; line < picture.lines.size(); ++line) {
        const CellLine& cells = picture.lines[line];
        if (cells.empty()) {
            continue;  // the clear left it blank
        }
        if (line != 0) {
            appendCursorTo(out.bytes, toCount(line) + 1, 1);
        }
        appendCells(out, cells, 0, cells.size(), encode);
    }
    return endingUncoloured(std::move(out));
}

std::string changedCellsBytes(const Picture& shown, const Picture& next, CellEncoder encode) {
    if (shown == next) {
        return {};
    }
    std::string inLineOrder = changedCellsInLineOrder(shown, next, encode);
    std::string byColour = endingUncoloured(changedCellsByColour(shown, next, encode));
    return byColour.size() < inLineOrder.size() ? byColour : inLineOrder;
}

std::string changedCellsInLineOrder(const Picture& shown, const Picture& next, CellEncoder encode) {
    Output out;
    for (std::size_t line = 0; line < next.lines.size(); ++line) {
        const CellLine& before = shown.lines[line];
        const CellLine& after = next.lines[line];
        if (before == after) {
            continue;
        }
        // Each way starts from the pen that the lines before left, and leaves its own.
        Output runs = changedRuns(Output{std::string{}, out.pen}, before, after, line, encode);
        Output whole = wholeLine(Output{std::string{}, out.pen}, after, line, encode);
        Output& shorter = whole.bytes.size() < runs.bytes.size() ? whole : runs;
        out.bytes.append(shorter.bytes);
        out.pen = shorter.pen;
    }
    return endingUncoloured(std::move(out));
}

}  // namespace brickstorm::terminal
