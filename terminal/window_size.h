#pragma once

#include <optional>

// The window that the picture goes to, in the terms both platforms report it.
namespace brickstorm::terminal {

struct TerminalWindow {
    int columns = 0;
    int lines = 0;
    std::optional<double> cellAspect;  // a cell's height over its width, where the terminal tells
};

// A cell's height over its width from the window's size in cells and in pixels; nothing when a
// terminal leaves the pixels at zero (most do) or reports sizes that make no shape.
std::optional<double> cellAspectFromPixels(int columns, int lines, int pixelWidth, int pixelHeight);

// The window from its size in cells and a cell's size in pixels (a console's font size); nothing
// when it has no cells.
std::optional<TerminalWindow> windowFromCells(int columns, int lines, int cellWidth, int cellHeight);

}  // namespace brickstorm::terminal
