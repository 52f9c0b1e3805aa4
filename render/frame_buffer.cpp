#include "render/frame_buffer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "render/frame_picture.h"
#include "render/whole_numbers.h"
#include "world/grid_math.h"

namespace brickstorm {

namespace {

constexpr unsigned char kEmptyCell = 0;
constexpr char kBlankCell = ' ';
constexpr char kLineBreak = '\n';

// An inclusive range of frame rows or columns; empty when `last` < `first`.
struct CellSpan {
    std::int32_t first = 0;
    std::int32_t last = -1;
};

// The cells from `low` to `high`, both rounded to whole numbers (halves away from zero, out of
// range values saturated), clipped to 0..count-1.
CellSpan clippedSpan(double low, double high, std::int32_t count) {
    return {std::max(saturatingInt(roundedHalfAway(low)), 0),
            std::min(saturatingInt(roundedHalfAway(high)), count - 1)};
}

// The last column of `columns` at or left of x: a column c counts when x >= c.
std::int32_t lastColumnUpTo(double x, CellSpan columns) {
    if (!(x >= columns.first)) {
        return columns.first - 1;
    }
    if (x >= columns.last) {
        return columns.last;
    }
    return static_cast<std::int32_t>(flooredWhole(x));
}

// One edge of a quad, from corner i to the corner before it, as the rows see it: it crosses row
// r when exactly one of its two ends lies at or below the row (rows grow downward), that is when
// `above` < r <= `below`; a level edge crosses none. Worked out once per quad, not per row.
struct QuadEdge {
    double above = 0.0;
    double below = 0.0;
    double row = 0.0;      // corner i
    double column = 0.0;   // corner i
    double columns = 0.0;  // from corner i to the other
    double rows = 0.0;     // from corner i to the other, never zero
};

// The edges of a quad that cross any row.
struct QuadEdges {
    std::array<QuadEdge, 4> edges{};
    std::size_t count = 0;
};

QuadEdges slantedEdges(const ScreenQuad& quad) {
    QuadEdges edges;
    const auto& p = quad.points;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const std::size_t j = (i == 0) ? p.size() - 1 : i - 1;
        if (p[i].row != p[j].row) {
            edges.edges[edges.count++] = {
                std::min(p[i].row, p[j].row), std::max(p[i].row, p[j].row), p[i].row, p[i].column,
                p[j].column - p[i].column,    p[j].row - p[i].row};
        }
    }
    return edges;
}

// Where the edges cross row r: for each crossing, in column order, the last column of `columns`
// that lies at or left of it (one before the first when none does).
struct RowCrossings {
    std::array<std::int32_t, 4> lastColumns{};
    std::size_t count = 0;
};

RowCrossings rowCrossings(const QuadEdges& edges, double r, CellSpan columns) {
    RowCrossings crossings;
    for (std::size_t e = 0; e < edges.count; ++e) {
        const QuadEdge& edge = edges.edges[e];
        if (edge.above < r && r <= edge.below) {
            // The same sum, in the same order, as along the edge from corner i: the crossing is
            // bit for bit where it always was.
            const double x = edge.columns * (r - edge.row) / edge.rows + edge.column;
            crossings.lastColumns[crossings.count++] = lastColumnUpTo(x, columns);
        }
    }
    // An insertion sort: there are at most four, and most rows of most quads have two.
    for (std::size_t i = 1; i < crossings.count; ++i) {
        for (std::size_t k = i; k > 0 && crossings.lastColumns[k - 1] > crossings.lastColumns[k]; --k) {
            std::swap(crossings.lastColumns[k - 1], crossings.lastColumns[k]);
        }
    }
    return crossings;
}

}  // namespace

void FrameBuffer::clearFrame() {
    // Rows are refilled in place rather than rebuilt: the same empty frame without allocating.
    rows.resize(static_cast<std::size_t>(rowCount));
    for (auto& row : rows) {
        row.assign(static_cast<std::size_t>(columnCount), kEmptyCell);
    }
    // The faces are only read where a cell is filled, and every fill sets them: they need only
    // the frame's size.
    faces.resize(static_cast<std::size_t>(rowCount));
    for (auto& row : faces) {
        row.resize(static_cast<std::size_t>(columnCount));
    }
    filledCount = 0;
}

void FrameBuffer::resizeFrame(std::int32_t columns, std::int32_t lines) {
    columnCount = std::max(columns, 0);
    rowCount = std::max(lines, 0);
    clearFrame();
}

void FrameBuffer::fillQuad(const ScreenQuad& quad) {
    if (filledCount == columnCount * rowCount) {
        return;
    }
    const auto [left, right] = std::minmax(
        {quad.points[0].column, quad.points[1].column, quad.points[2].column, quad.points[3].column});
    const auto [top, bottom] =
        std::minmax({quad.points[0].row, quad.points[1].row, quad.points[2].row, quad.points[3].row});
    const CellSpan rowSpan = clippedSpan(top, bottom, rowCount);
    const CellSpan columnSpan = clippedSpan(left, right, columnCount);
    if (columnSpan.last < columnSpan.first) {
        return;
    }
    const QuadEdges edges = slantedEdges(quad);
    for (std::int32_t r = rowSpan.first; r <= rowSpan.last; ++r) {
        // Even-odd rule on each cell's own point (c, r), with no half-cell offset: the point is
        // inside when an odd number of the row's crossings lie at or right of it. That number
        // drops by one at each crossing as c grows, so the inside cells form runs between the
        // sorted crossings, and only those runs are visited. A quad thus keeps the cells on its
        // right and bottom edges, not those on its left and top edges.
        const RowCrossings crossings = rowCrossings(edges, r, columnSpan);
        auto& cells = rows[static_cast<std::size_t>(r)];
        auto& cellFaces = faces[static_cast<std::size_t>(r)];
        for (std::size_t k = 0; k < crossings.count; ++k) {
            if ((crossings.count - k) % 2 == 0) {
                continue;  // up to crossing k, count - k crossings lie at or right: an even number
            }
            const std::int32_t from = (k == 0) ? columnSpan.first : crossings.lastColumns[k - 1] + 1;
            for (std::int32_t c = from; c <= crossings.lastColumns[k]; ++c) {
                unsigned char& cell = cells[static_cast<std::size_t>(c)];
                if (cell == kEmptyCell) {
                    cell = quad.fill;
                    cellFaces[static_cast<std::size_t>(c)] = {quad.kind, quad.depth};
                    ++filledCount;
                }
            }
        }
    }
}

void FrameBuffer::presentFrame(Console& console) {
    paintFramePicture(*this, console.colourDepth(), true, picture);
    console.showPicture(picture);
    clearFrame();
}

void FrameBuffer::drawQuads(const std::vector<ScreenQuad>& quads, Console& console) {
    for (const ScreenQuad& quad : quads) {
        fillQuad(quad);
    }
    presentFrame(console);
}

std::string frameText(const FrameBuffer& frame) {
    // Sized from the rows themselves, so that a frame of any shape is written safely.
    std::size_t length = frame.rows.empty() ? 0 : frame.rows.size() - 1;
    for (const auto& row : frame.rows) {
        length += row.size() + 1;
    }
    std::string text(length, kBlankCell);
    char* out = text.data();
    for (const auto& row : frame.rows) {
        if (out != text.data()) {
            *out++ = kLineBreak;
        }
        for (const unsigned char cell : row) {
            *out++ = (cell == kEmptyCell) ? kBlankCell : static_cast<char>(cell);
        }
        *out++ = kScreenEdge;
    }
    return text;
}

}  // namespace brickstorm
