#include "screens/picture_layout.h"

#include <algorithm>

namespace brickstorm {

namespace {

// A cell shape that a real font can have.
bool usableAspect(const std::optional<double>& aspect) {
    return aspect && *aspect >= kLeastCellAspect && *aspect <= kGreatestCellAspect;
}

}  // namespace

PictureLayout chooseLayout(const std::optional<WindowSize>& window, const LayoutOptions& options) {
    const WindowSize size = (window && window->columns > 0 && window->lines > 0)
                                ? *window
                                : WindowSize{kFullPictureWindowColumns, kFullPictureWindowLines, {}};
    if (!options.fit && size.columns >= kFullPictureWindowColumns && size.lines >= kFullPictureWindowLines) {
        return {};
    }
    double aspect = kUsualCellAspect;
    if (usableAspect(options.cellAspect)) {
        aspect = *options.cellAspect;
    } else if (usableAspect(size.cellAspect)) {
        aspect = *size.cellAspect;
    }
    // One column is kept free for the edge.
    return {true, std::clamp(size.columns - 1, 0, kLargestFittedColumns),
            std::min(size.lines, kLargestFittedLines), aspect};
}

bool belowSmallestWindow(const PictureLayout& layout) {
    return layout.columns + 1 < kSmallestWindowColumns || layout.lines < kSmallestWindowLines;
}

}  // namespace brickstorm
