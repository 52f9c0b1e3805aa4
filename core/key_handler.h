#pragma once

#include "core/game_state.h"
#include "core/key_codes.h"

namespace brickstorm {

// Key codes the game knows (an extended key's own code follows its prefix).
inline constexpr int kKeyForward = 'w';
inline constexpr int kKeyBack = 's';
inline constexpr int kKeyStrafeLeft = kLeftArrowCode;    // left arrow, or "K"
inline constexpr int kKeyStrafeRight = kRightArrowCode;  // right arrow, or "M"
inline constexpr int kKeyTurnLeft = 'a';
inline constexpr int kKeyTurnRight = 'd';
inline constexpr int kKeyClimb = ' ';
inline constexpr int kKeyShoot = 'r';

// Acts on one key code: a player command in the game, the next screen on a text screen.
void handleKey(GameState& state, int code);

// The player command of one key code on the game screen, if the code has one: at most one step,
// turn, climb or shot starts. Every player of a match takes its keys through this too.
void handlePlayerKey(PlayerEntity& player, int code);

}  // namespace brickstorm
