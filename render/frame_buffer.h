#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "render/console.h"

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

    friend bool operator==(const ScreenQuad&, const ScreenQuad&) = default;
};

// The character frame of the 3D view, filled front to back: the first face to reach a cell keeps it.
struct FrameBuffer {
    FrameBuffer() { clearFrame(); }

    // All cells back to empty (byte 0).
    void clearFrame();
    // Fills the still empty cells inside the quad with its fill byte.
    void fillQuad(const ScreenQuad& quad);
    // Shows the frame on the console in one write, then empties it.
    void presentFrame(Console& console);
    // Fills every quad in order, then presents the frame once.
    void drawQuads(const std::vector<ScreenQuad>& quads, Console& console);

    std::vector<std::vector<unsigned char>> rows;  // rows[row][column], row 0 at the top
    std::int32_t filledCount = 0;
};

// The console text of a frame: 60 lines of the 90 cells (blank where empty) and the edge,
// a line feed after every line but the last.
std::string frameText(const FrameBuffer& frame);

}  // namespace brickstorm
