#include "screens/picture_layout.h"

#include <algorithm>
#include <cmath>

namespace brickstorm {

namespace {

// A usable cell shape: finite and above zero.
bool usableAspect(const std::optional<double>& aspect) {
    return aspect && std::isfinite(*aspect) && *aspect > 0.0;
}

}  // namespace

PictureLayout chooseLayout(const std::optional<WindowSize>& window, const LayoutOptions& options) {
    const WindowSize size = (window && window->columns > 0 && window->lines > 0)
                                ? *window
                                : WindowSize{kDesignWindowColumns, kDesignWindowLines, {}};
    if (!options.fit && size.columns >= kDesignWindowColumns && size.lines >= kDesignWindowLines) {
        return {};
    }
    double aspect = kUsualCellAspect;
    if (usableAspect(options.cellAspect)) {
        aspect = *options.cellAspect;
    } else if (usableAspect(size.cellAspect)) {
        aspect = *size.cellAspect;
    }
    // One column is kept free for the edge.
    return {false, std::max(size.columns - 1, 0), size.lines, aspect};
}

bool belowSmallestWindow(const PictureLayout& layout) {
    return layout.columns + 1 < kSmallestWindowColumns || layout.lines < kSmallestWindowLines;
}

}  // namespace brickstorm
