#include "terminal/window_size.h"

namespace brickstorm::terminal {

std::optional<double> cellAspectFromPixels(int columns, int lines, int pixelWidth, int pixelHeight) {
    if (columns <= 0 || lines <= 0 || pixelWidth <= 0 || pixelHeight <= 0) {
        return std::nullopt;
    }
    // Height per line over width per column.
    return (static_cast<double>(pixelHeight) / lines) / (static_cast<double>(pixelWidth) / columns);
}

std::optional<TerminalWindow> windowFromCells(int columns, int lines, int cellWidth, int cellHeight) {
    if (columns <= 0 || lines <= 0) {
        return std::nullopt;
    }
    return TerminalWindow{columns, lines, cellAspectFromPixels(1, 1, cellWidth, cellHeight)};
}

}  // namespace brickstorm::terminal
