#pragma once

#include <string>

#include "core/game_state.h"

namespace brickstorm {

// One simulation step of 50 ms: requests the title on the title screen, runs the world on the
// game screen, and does nothing on the level and game-over screens.
void gameTick(GameState& state);

// Switches to the game-over screen with `message`, if the guard lets it.
void showDeathScreen(GameState& state, std::string message);

}  // namespace brickstorm
