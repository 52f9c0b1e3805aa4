#include "render/frame_picture.h"

#include <array>
#include <cstddef>

#include "render/palette.h"

namespace brickstorm {

namespace {

// Every colour a face can take at one colour depth, by kind and fog step: worked out once, so
// that colouring a frame costs a table look-up per cell.
using ColourTable = std::array<std::array<CellColour, kFogSteps>, kFaceKindCount>;

ColourTable colourTable(ColourDepth depth) {
    ColourTable table{};
    for (std::size_t kind = 0; kind < kFaceKindCount; ++kind) {
        for (std::size_t step = 0; step < table[kind].size(); ++step) {
            table[kind][step] =
                stepColour(static_cast<FaceKind>(kind), static_cast<std::int32_t>(step), depth);
        }
    }
    return table;
}

const ColourTable& tableFor(ColourDepth depth) {
    static const std::array<ColourTable, 4> tables{
        colourTable(ColourDepth::Basic16), colourTable(ColourDepth::Palette256),
        colourTable(ColourDepth::Direct24), colourTable(ColourDepth::Basic16Faint)};
    return tables[static_cast<std::size_t>(depth)];
}

constexpr unsigned char kEmptyCell = 0;

// One row of the frame as cells, followed by `edge` blank cells for the caller to close it.
CellLine rowCells(const std::vector<unsigned char>& cells, const std::vector<CellFace>& faces,
                  const ColourTable* table, std::size_t edge) {
    CellLine line(cells.size() + edge);
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (cells[c] == kEmptyCell) {
            continue;  // blank and uncoloured, as made
        }
        line[c].character = cells[c];
        if (table != nullptr) {
            const auto& kindColours = (*table)[static_cast<std::size_t>(faces[c].kind)];
            line[c].colour = kindColours[static_cast<std::size_t>(fogStep(faces[c].depth))];
        }
    }
    return line;
}

Picture picture(const FrameBuffer& frame, std::optional<ColourDepth> depth, bool withEdge) {
    const ColourTable* table = depth ? &tableFor(*depth) : nullptr;
    Picture picture;
    picture.lines.reserve(frame.rows.size());
    for (std::size_t r = 0; r < frame.rows.size(); ++r) {
        CellLine& line =
            picture.lines.emplace_back(rowCells(frame.rows[r], frame.faces[r], table, withEdge ? 1 : 0));
        if (withEdge) {
            line.back().character = static_cast<unsigned char>(kScreenEdge);  // uncoloured
        }
    }
    return picture;
}

}  // namespace

Picture framePicture(const FrameBuffer& frame, std::optional<ColourDepth> depth) {
    return picture(frame, depth, true);
}

Picture viewPicture(const FrameBuffer& frame, std::optional<ColourDepth> depth) {
    return picture(frame, depth, false);
}

}  // namespace brickstorm
