#include "render/frame_picture.h"

#include <array>
#include <cstddef>

#include "render/palette.h"

namespace brickstorm {

namespace {

// Every colour a face can take at one colour depth, by kind and fog step: worked out once, so
// that colouring a frame costs a table look-up per cell.
struct ColourTable {
    std::int32_t steps = kFogSteps;
    std::array<std::array<CellColour, kMostFogSteps>, kFaceKindCount> colours{};
};

ColourTable colourTable(ColourDepth depth) {
    ColourTable table;
    table.steps = fogStepCount(depth);
    for (std::size_t kind = 0; kind < kFaceKindCount; ++kind) {
        for (std::int32_t step = 0; step < table.steps; ++step) {
            table.colours[kind][static_cast<std::size_t>(step)] =
                stepColour(static_cast<FaceKind>(kind), step, depth);
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

// Row `cells` of the frame into `line`, which is made its cells followed by `edge` cells for the
// caller to close it. Cells next to each other mostly come from one face: its colour is looked
// up once for the run.
void paintRow(const std::vector<unsigned char>& cells, const std::vector<CellFace>& faces,
              const ColourTable* table, std::size_t edge, CellLine& line) {
    line.resize(cells.size() + edge);
    FaceKind lastKind = FaceKind::BlockSideX;
    float lastDepth = -1.0F;
    CellColour lastColour = kNoColour;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        Cell& cell = line[c];
        if (cells[c] == kEmptyCell) {
            cell = Cell{};  // blank and uncoloured
            continue;
        }
        cell.character = cells[c];
        if (table == nullptr) {
            cell.colour = kNoColour;
            continue;
        }
        const CellFace& face = faces[c];
        if (face.kind != lastKind || face.depth != lastDepth) {
            lastKind = face.kind;
            lastDepth = face.depth;
            lastColour = table->colours[static_cast<std::size_t>(face.kind)]
                                       [static_cast<std::size_t>(fogStep(face.depth, table->steps))];
        }
        cell.colour = lastColour;
    }
    for (std::size_t c = cells.size(); c < line.size(); ++c) {
        line[c] = Cell{};
    }
}

}  // namespace

void paintFramePicture(const FrameBuffer& frame, std::optional<ColourDepth> depth, bool withEdge,
                       Picture& into) {
    const ColourTable* table = depth ? &tableFor(*depth) : nullptr;
    into.lines.resize(frame.rows.size());
    for (std::size_t r = 0; r < frame.rows.size(); ++r) {
        CellLine& line = into.lines[r];
        paintRow(frame.rows[r], frame.faces[r], table, withEdge ? 1 : 0, line);
        if (withEdge) {
            line.back().character = static_cast<unsigned char>(kScreenEdge);  // uncoloured
        }
    }
}

Picture framePicture(const FrameBuffer& frame, std::optional<ColourDepth> depth) {
    Picture picture;
    paintFramePicture(frame, depth, true, picture);
    return picture;
}

Picture viewPicture(const FrameBuffer& frame, std::optional<ColourDepth> depth) {
    Picture picture;
    paintFramePicture(frame, depth, false, picture);
    return picture;
}

}  // namespace brickstorm
