#include "render/frame_colours.h"

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

}  // namespace

FrameColours frameColours(const FrameBuffer& frame, ColourDepth depth) {
    const ColourTable& table = tableFor(depth);
    FrameColours colours(frame.rows.size());
    for (std::size_t r = 0; r < frame.rows.size(); ++r) {
        const auto& cells = frame.rows[r];
        const auto& faces = frame.faces[r];
        auto& line = colours[r];
        line.assign(cells.size() + 1, kNoColour);  // the edge stays uncoloured
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (cells[c] != 0) {
                const auto& kindColours = table[static_cast<std::size_t>(faces[c].kind)];
                line[c] = kindColours[static_cast<std::size_t>(fogStep(faces[c].depth))];
            }
        }
    }
    return colours;
}

}  // namespace brickstorm
