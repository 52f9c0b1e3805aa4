#pragma once

#include <optional>

#include "platform/posix/system_calls.h"
#include "platform/window_size.h"

namespace brickstorm::platform {

// The window of the terminal on `fd`, with the cells' shape where it reports its size in
// pixels; nothing when `fd` is not a terminal or the terminal does not know its size.
std::optional<TerminalWindow> windowSizeOf(SystemCalls& sys, int fd);

}  // namespace brickstorm::platform
