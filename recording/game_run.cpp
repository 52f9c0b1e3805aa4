#include "recording/game_run.h"

#include "core/game_tick.h"
#include "core/key_handler.h"

namespace brickstorm {

bool GameRun::key(int code) {
    // On a text screen every key is a request to leave it, which the guard alone decides; on
    // the game screen the guard always passes.
    if (!canLeaveScreen(state_)) {
        return false;
    }
    handleKey(state_, code);
    for (RunWatcher* watcher : watchers_) {
        watcher->keyHandled(ticks_, code, state_);
    }
    return true;
}

void GameRun::tick() {
    const bool onGameScreen = state_.screen == kScreenGame;
    gameTick(state_);
    ++ticks_;
    for (RunWatcher* watcher : watchers_) {
        watcher->ticked(ticks_, onGameScreen, state_);
    }
}

}  // namespace brickstorm
