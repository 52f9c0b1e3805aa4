#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "render/console.h"
#include "render/face.h"
#include "render/picture.h"

namespace brickstorm {

inline constexpr int kFrameColumns = 90;
inline constexpr int kFrameRows = 60;
inline constexpr std::int32_t kFrameCells = kFrameColumns * kFrameRows;
inline constexpr char kScreenEdge = '#';  // closes every line of every screen

// A point of a projected face in frame coordinates: always whole numbers,
// but not limited to the frame.
struct ScreenPoint {
    double column = 0.0;
    double row = 0.0;

    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// One face projected onto the frame.
struct ScreenQuad {
    std::array<ScreenPoint, 4> points;
    unsigned char fill = 0;
    FaceKind kind = FaceKind::BlockSideX;
    float depth = 0.0F;  // how far in front of the camera the face lies, for the fog

    friend bool operator==(const ScreenQuad&, const ScreenQuad&) = default;
};

// Which face filled a cell: what it is and how far away.
struct CellFace {
    FaceKind kind = FaceKind::BlockSideX;
    float depth = 0.0F;
};

// The character frame of the 3D view, filled front to back: the first face to reach a cell keeps it.
// The full picture's 90 x 60 unless sized to a window.
struct FrameBuffer {
    FrameBuffer() { clearFrame(); }
    FrameBuffer(std::int32_t columns, std::int32_t lines) { resizeFrame(columns, lines); }

    // All cells back to empty (byte 0).
    void clearFrame();
    // Makes the frame `columns` x `lines` cells (none below zero), all empty.
    void resizeFrame(std::int32_t columns, std::int32_t lines);
    // Fills the still empty cells inside the quad with its fill byte, and notes the quad's kind
    // and depth in them.
    void fillQuad(const ScreenQuad& quad);
    // Shows the frame on the console as one picture, coloured when the console shows colour,
    // then empties it.
    void presentFrame(Console& console);
    // Fills every quad in order, then presents the frame once.
    void drawQuads(const std::vector<ScreenQuad>& quads, Console& console);

    std::vector<std::vector<unsigned char>> rows;  // rows[row][column], row 0 at the top
    // faces[row][column]: the face that filled the cell; meaningless where the cell is empty.
    std::vector<std::vector<CellFace>> faces;
    std::int32_t filledCount = 0;
    // The picture last presented, kept so that the next one is painted into its memory.
    Picture picture;
    std::int32_t columnCount = kFrameColumns;
    std::int32_t rowCount = kFrameRows;
};

// The console text of a frame: a line of its cells (blank where empty) and the edge for every
// row, a line feed after every line but the last.
std::string frameText(const FrameBuffer& frame);

}  // namespace brickstorm
