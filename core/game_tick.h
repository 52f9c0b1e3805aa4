#pragma once

#include <string>

#include "core/game_state.h"

namespace brickstorm {

// One simulation step of 50 ms: requests the title on the title screen, runs the world on the
// game screen, and does nothing on the level and game-over screens.
void gameTick(GameState& state);

// True when the player's drawn position, rounded, lies on an exit cell of `level`: the exit counts
// from the tick in which the player is first drawn on it.
bool playerOnExit(const Level& level, const PlayerEntity& player);

// Switches to the game-over screen with `message`, if the guard lets it.
void showDeathScreen(GameState& state, std::string message);

}  // namespace brickstorm
