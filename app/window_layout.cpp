#include "app/window_layout.h"

#include <optional>

#include "platform/terminal.h"

namespace brickstorm::app {

PictureLayout windowLayoutNow(const LayoutOptions& options) {
    const auto window = platform::windowSize();
    if (!window) {
        return chooseLayout(std::nullopt, options);
    }
    return chooseLayout(WindowSize{window->columns, window->lines, window->cellAspect}, options);
}

int windowLinesNow() {
    const auto window = platform::windowSize();
    return window ? window->lines : 0;
}

}  // namespace brickstorm::app
