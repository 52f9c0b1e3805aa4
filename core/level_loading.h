#pragma once

#include "core/game_state.h"

namespace brickstorm {

// Builds the world of the current level number from its string and switches to the game,
// if the guard lets the level screen be left.
void startLevel(GameState& state);

// Builds the world of `level` and switches to the game, if the guard lets the level screen be
// left.
void startLevel(GameState& state, Level level);

}  // namespace brickstorm
