#pragma once

#include <mutex>
#include <string>

#include "core/game_state.h"
#include "render/console.h"

namespace brickstorm {

// Draws the requested screen: a text screen once per request, the 3D view on every pass.
// What is drawn is copied under `stateLock`; rendering and output happen outside it.
void drawScreens(GameState& state, std::mutex& stateLock, Console& console);

}  // namespace brickstorm
