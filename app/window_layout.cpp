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

}  // namespace brickstorm::app
