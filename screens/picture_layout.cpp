#include "screens/picture_layout.h"

#include <algorithm>

namespace brickstorm {

namespace {

// A cell shape that a real font can have.
bool usableAspect(const std::optional<double>& aspect) {
    return aspect && *aspect >= kLeastCellAspect && *aspect <= kGreatestCellAspect;
}

}  // namespace

bool squareCells(double aspect) {
    return aspect >= 1.0 - kSquareCellSlack && aspect <= 1.0 + kSquareCellSlack;
}

PictureLayout chooseLayout(const std::optional<WindowSize>& window, const LayoutOptions& options) {
    const WindowSize size = (window && window->columns > 0 && window->lines > 0)
                                ? *window
                                : WindowSize{kFullPictureWindowColumns, kFullPictureWindowLines, {}};
    // A shape nobody reported is the usual one, so that an unknown font gets cubes as cubes.
    double aspect = kUsualCellAspect;
    if (usableAspect(options.cellAspect)) {
        aspect = *options.cellAspect;
    } else if (usableAspect(size.cellAspect)) {
        aspect = *size.cellAspect;
    }
    // The full picture is drawn for square cells: on any other shape its cubes would be
    // stretched, and a view fitted to the window shows the same scene in the right proportions.
    if (!options.fit && squareCells(aspect) && size.columns >= kFullPictureWindowColumns &&
        size.lines >= kFullPictureWindowLines) {
        return {};
    }
    // One column is kept free for the edge.
    return {true, std::clamp(size.columns - 1, 0, kLargestFittedColumns),
            std::min(size.lines, kLargestFittedLines), aspect};
}

bool belowSmallestWindow(const PictureLayout& layout) {
    return layout.columns + 1 < kSmallestWindowColumns || layout.lines < kSmallestWindowLines;
}

}  // namespace brickstorm
