#pragma once

#include <optional>

#include "platform/posix/system_calls.h"
#include "terminal/window_size.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

// The window of the terminal on `fd`, with the cells' shape where it reports its size in
// pixels; nothing when `fd` is not a terminal or the terminal does not know its size.
std::optional<TerminalWindow> windowSizeOf(SystemCalls& sys, int fd);

}  // namespace brickstorm::platform
