#pragma once

#include <vector>

#include "core/game_state.h"

namespace brickstorm {

// Builds the world of the current level number from its string and switches to the game,
// if the guard lets the level screen be left.
void startLevel(GameState& state);

// Builds the world of `level` and switches to the game, if the guard lets the level screen be
// left.
void startLevel(GameState& state, Level level);

// A fresh player of `level`, at rest on its start cell and facing +z.
PlayerEntity startingPlayer(const Level& level);

// The enemies of `level`, at rest on their start cells, in the order of the level's starts.
std::vector<EnemyEntity> startingEnemies(const Level& level);

}  // namespace brickstorm
