#pragma once

#include <cstdint>
#include <optional>

#include "render/frame_buffer.h"

namespace brickstorm {

// The smallest window that shows the full picture: its 90 cells and the edge, on 60 lines.
inline constexpr std::int32_t kFullPictureWindowColumns = kFrameColumns + 1;
inline constexpr std::int32_t kFullPictureWindowLines = kFrameRows;
// The smallest window that shows every line of every screen whole; below it, only a notice.
inline constexpr std::int32_t kSmallestWindowColumns = 40;
inline constexpr std::int32_t kSmallestWindowLines = 15;
// A terminal cell's height over its width when the terminal does not say: most fonts are about
// twice as tall as they are wide.
inline constexpr double kUsualCellAspect = 2.0;
// The cell shapes taken as real; a terminal's report outside them is a mistake, and ignored.
inline constexpr double kLeastCellAspect = 0.25;
inline constexpr double kGreatestCellAspect = 8.0;
// How far a cell's shape may be from square and still be drawn the full picture, whose cubes are
// made for square cells: an eighth, the difference between an 8 x 8 and an 8 x 9 pixel font.
inline constexpr double kSquareCellSlack = 0.125;
// The largest fitted picture: beyond a 4K screen in a tiny font. A terminal may report any size
// up to 65535 x 65535, and a picture of that many cells would take gigabytes on every pass.
inline constexpr std::int32_t kLargestFittedColumns = 1024;
inline constexpr std::int32_t kLargestFittedLines = 512;

// The window that the picture goes to, as the terminal reports it.
struct WindowSize {
    std::int32_t columns = 0;
    std::int32_t lines = 0;
    std::optional<double> cellAspect;  // a cell's height over its width, where the terminal knows it
};

// How the picture is laid out: the full picture's 60 lines of 90 cells, or lines fitted to the
// window.
// Every line is its cells followed by the edge.
struct PictureLayout {
    bool fitted = false;
    std::int32_t columns = kFrameColumns;  // cells on each line, the edge not counted
    std::int32_t lines = kFrameRows;
    double cellAspect = kUsualCellAspect;  // used by a fitted 3D view only

    friend bool operator==(const PictureLayout&, const PictureLayout&) = default;
};

// What the player chose on the command line about the layout.
struct LayoutOptions {
    bool fit = false;                  // fitted even in a window large enough for the full picture
    std::optional<double> cellAspect;  // instead of what the terminal reports
};

// The layout for a window: the full picture where the cells are square (as reported, or as the
// options say), the window holds it and fitting was not asked for; fitted otherwise (up to the
// largest fitted picture, at the top left of a larger window), with the cells' shape as reported,
// or twice as tall as wide where nobody says. An unknown window (no terminal) is taken as just
// large enough for the full picture.
PictureLayout chooseLayout(const std::optional<WindowSize>& window, const LayoutOptions& options);

// Whether cells of `aspect` (height over width) are near enough to square for the full picture.
bool squareCells(double aspect);

// True when the layout is below the smallest window: a notice is shown instead of any screen.
bool belowSmallestWindow(const PictureLayout& layout);

}  // namespace brickstorm
