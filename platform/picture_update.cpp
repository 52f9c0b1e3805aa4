#include "platform/picture_update.h"

#include <cstddef>

#include "platform/terminal_sequences.h"

namespace brickstorm::platform {

namespace {

void appendCells(std::string& out, const CellLine& cells, std::size_t from, std::size_t to,
                 CellEncoder encode) {
    for (std::size_t c = from; c < to; ++c) {
        out.append(encode(cells[c].character));
    }
}

std::size_t encodedSize(const CellLine& cells, std::size_t from, std::size_t to, CellEncoder encode) {
    std::size_t size = 0;
    for (std::size_t c = from; c < to; ++c) {
        size += encode(cells[c].character).size();
    }
    return size;
}

int toCount(std::size_t value) { return static_cast<int>(value); }

// The line in full, from its first column.
std::string wholeLine(const CellLine& cells, std::size_t line, CellEncoder encode) {
    std::string out;
    appendCursorTo(out, toCount(line) + 1, 1);
    appendCells(out, cells, 0, cells.size(), encode);
    return out;
}

// The changed runs of one line. Between two runs on the line, the cursor skips the unchanged
// cells, unless sending them again is no longer than the move itself.
std::string changedRuns(const CellLine& shown, const CellLine& next, std::size_t line, CellEncoder encode) {
    std::string out;
    std::size_t cursor = 0;  // the column after the last cell sent
    bool placed = false;
    std::size_t c = 0;
    while (c < next.size()) {
        if (shown[c] == next[c]) {
            ++c;
            continue;
        }
        if (!placed) {
            appendCursorTo(out, toCount(line) + 1, toCount(c) + 1);
            placed = true;
        } else {
            std::string skip;
            appendCursorForward(skip, toCount(c - cursor));
            if (encodedSize(next, cursor, c, encode) <= skip.size()) {
                appendCells(out, next, cursor, c, encode);
            } else {
                out.append(skip);
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

}  // namespace

std::string wholePictureBytes(const Picture& picture, CellEncoder encode) {
    std::string out(kClearScreen);  // leaves the cursor at the top left, where line 1 starts
    for (std::size_t line = 0; line < picture.lines.size(); ++line) {
        const CellLine& cells = picture.lines[line];
        if (cells.empty()) {
            continue;  // the clear left it blank
        }
        if (line != 0) {
            appendCursorTo(out, toCount(line) + 1, 1);
        }
        appendCells(out, cells, 0, cells.size(), encode);
    }
    return out;
}

std::string changedCellsBytes(const Picture& shown, const Picture& next, CellEncoder encode) {
    std::string out;
    for (std::size_t line = 0; line < next.lines.size(); ++line) {
        const CellLine& before = shown.lines[line];
        const CellLine& after = next.lines[line];
        if (before == after) {
            continue;
        }
        std::string runs = changedRuns(before, after, line, encode);
        std::string whole = wholeLine(after, line, encode);
        out.append(whole.size() < runs.size() ? whole : runs);
    }
    return out;
}

}  // namespace brickstorm::platform
