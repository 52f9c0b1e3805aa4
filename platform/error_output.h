#pragma once

#include <string_view>

// Standard error, as far as the game's messages during play care. One implementation per platform.
namespace brickstorm::platform {

// True when standard error is a terminal or console: there, a line written during the game
// would land on the game's picture, so it waits until the terminal is given back.
bool errorOutputIsTerminal();

// Writes `text` to standard error. A terminal that has stopped reading (a stalled connection)
// gets what it takes within about half a second, and the rest is dropped: the program's end
// must not wait on it.
void writeToErrorOutput(std::string_view text);

}  // namespace brickstorm::platform
