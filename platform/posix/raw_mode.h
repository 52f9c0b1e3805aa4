#pragma once

#include <termios.h>

namespace brickstorm::platform {

// The terminal settings that the game reads keys with, made from the settings found: every key
// at once (no line editing), nothing echoed, flow control and carriage-return translation off so
// Ctrl+S, Ctrl+Q and Enter arrive as bytes. The signal keys are kept on purpose: Ctrl+C, Ctrl+Z
// and the quit key work as in any program, so a player can always leave. Output processing is left as
// it was: the console writes "\r\n" itself, which is right either way.
termios rawModeFrom(const termios& original);

}  // namespace brickstorm::platform
