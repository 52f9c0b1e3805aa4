#include "core/key_handler.h"

#include "core/level_loading.h"

namespace brickstorm {

// A key on the game screen: at most one player command, tested in this order.
void handlePlayerKey(PlayerEntity& player, int code) {
    switch (code) {
    case kKeyForward: player.move(MoveCommand::Forward); break;
    case kKeyBack: player.move(MoveCommand::Back); break;
    case kKeyStrafeLeft: player.move(MoveCommand::Left); break;
    case kKeyStrafeRight: player.move(MoveCommand::Right); break;
    case kKeyTurnLeft: player.startTurn(kTurnLeft); break;
    case kKeyTurnRight: player.startTurn(kTurnRight); break;
    case kKeyClimb: player.startClimb(); break;
    case kKeyShoot: player.shoot(); break;
    default: break;  // prefixes, capitals, other arrows, Ctrl+C: nothing
    }
}

void handleKey(GameState& state, int code) {
    if (state.screen == kScreenGame) {
        handlePlayerKey(state.player, code);
    } else if (state.screen == kScreenLevelIntro) {
        startLevel(state);
    } else if (state.screen == kScreenIntro || state.screen == kScreenDeath) {
        // Any key moves on, whatever its code; a key before the screen is drawn is dropped.
        showLevelScreen(state);
    } else if (state.screen == kScreenClosing) {
        showTitleScreen(state);
    }
}

}  // namespace brickstorm
