#include "platform/posix/window_query.h"

#include <unistd.h>

#include "platform/terminal.h"

namespace brickstorm::platform {

std::optional<TerminalWindow> windowSizeOf(SystemCalls& sys, int fd) {
    winsize size{};
    if (sys.getWindowSize(fd, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        return std::nullopt;
    }
    return TerminalWindow{size.ws_col, size.ws_row,
                          cellAspectFromPixels(size.ws_col, size.ws_row, size.ws_xpixel, size.ws_ypixel)};
}

std::optional<TerminalWindow> windowSize() { return windowSizeOf(systemCalls(), STDOUT_FILENO); }

}  // namespace brickstorm::platform
