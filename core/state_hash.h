#pragma once

#include <cstdint>

#include "core/game_state.h"

namespace brickstorm {

// A hash of everything the rules change: the screen and the level number, what the text screens
// are asked to show, the player and every enemy with their positions, headings and tick
// counters. Two runs that took the same path hash the same; what only the render thread decides
// (whether a screen is drawn yet, the frame) and what follows from the rest (the level's cells
// and faces, the published scene) is left out.
std::uint64_t stateHash(const GameState& state);

}  // namespace brickstorm
