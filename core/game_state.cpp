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
    state.render.shownTitle = state.levels.title(state.levelNumber);
    state.render.drawScreen = kScreenLevelIntro;
    state.render.screenDrawn = false;
    state.screen = kScreenLevelIntro;
}

void showClosingScreen(GameState& state) {
    if (!canLeaveScreen(state)) {
        return;
    }
    state.render.shownLevel = state.levelNumber;
    state.render.shownFirstLevel = state.firstLevel;
    state.render.drawScreen = kScreenClosing;
    state.render.screenDrawn = false;
    state.screen = kScreenClosing;
}

void showTitleScreen(GameState& state) {
    if (!canLeaveScreen(state)) {
        return;
    }
    state.levelNumber = state.firstLevel;
    state.render.drawScreen = kScreenIntro;
    state.render.screenDrawn = false;
    state.screen = kScreenIntro;
}

void startAtLevel(GameState& state, std::int32_t number) {
    state.firstLevel = number;
    state.levelNumber = number;
}

}  // namespace brickstorm
