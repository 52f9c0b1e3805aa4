#include "core/game_state.h"

namespace brickstorm {

bool canLeaveScreen(const GameState& state) {
    return state.render.screenDrawn || state.render.drawScreen == kScreenGame;
}

void showLevelScreen(GameState& state) {
    if (!canLeaveScreen(state)) {
        return;
    }
    // Every switch writes what the new screen shows first and the logical screen last.
    state.render.shownLevel = state.levelNumber;
    state.render.drawScreen = kScreenLevelIntro;
    state.render.screenDrawn = false;
    state.screen = kScreenLevelIntro;
}

}  // namespace brickstorm
