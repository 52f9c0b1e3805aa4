#pragma once

// Standard error, as far as the game's messages during play care. One implementation per platform.
namespace brickstorm::platform {

// True when standard error is a terminal or console: there, a line written during the game
// would land on the game's picture, so it waits until the terminal is given back.
bool errorOutputIsTerminal();

}  // namespace brickstorm::platform
