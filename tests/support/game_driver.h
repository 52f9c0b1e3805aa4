#pragma once

#include <gtest/gtest.h>

#include <mutex>

#include "core/game_state.h"
#include "core/game_tick.h"
#include "core/key_handler.h"
#include "screens/screens.h"
#include "support/null_console.h"

namespace brickstorm::testing {

// Drives a test-owned game the way the three threads do, one step at a time: keys, ticks and
// render passes in the order a test chooses, with no threads and no sleeps.
class GameDriver {
public:
    explicit GameDriver(Console& console) : console_(console) {}

    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            gameTick(state);
        }
    }
    void press(int code) { handleKey(state, code); }
    void render() { drawScreens(state, stateLock_, console_); }

    // The most ticks one action may take before `act` gives up: far beyond the longest one the
    // rules know (a climb, or a step followed by a deadly fall, each under 100 ticks).
    static constexpr int kMostTicksOfOneAction = 1000;

    // Presses `code` and ticks until the player is at rest again (or the game screen is left).
    // A player still busy after kMostTicksOfOneAction ticks fails the test instead of hanging
    // it; the result says whether the player came to rest.
    bool act(int code) {
        press(code);
        for (int ticks = 0; ticks < kMostTicksOfOneAction; ++ticks) {
            tick();
            if (!playerBusy()) {
                return true;
            }
        }
        ADD_FAILURE() << "the player did not come to rest within " << kMostTicksOfOneAction << " ticks of key "
                      << code;
        return false;
    }

    // From a fresh game to the first tick of level 1: the title and the level screen are each
    // drawn before the key that leaves them.
    void enterFirstLevel() {
        tick();
        render();
        press(' ');
        render();
        press(' ');
    }

    GameState state;

private:
    bool playerBusy() const {
        return state.screen == kScreenGame &&
               (state.player.moveTicks > 0 || state.player.turnTicks > 0 || state.player.climbPhase > 0);
    }

    std::mutex stateLock_;
    Console& console_;
};

}  // namespace brickstorm::testing
