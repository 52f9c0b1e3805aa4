#include "core/state_hash.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/game_tick.h"
#include "core/key_handler.h"
#include "support/game_driver.h"
#include "support/null_console.h"

namespace brickstorm {
namespace {

using testing::GameDriver;
using testing::NullConsole;

// A game in level 1 with its enemies, a few ticks in.
class StateHashTest : public ::testing::Test {
protected:
    StateHashTest() {
        game.enterFirstLevel();
        game.tick(3);
    }

    NullConsole console;
    GameDriver game{console};
    GameState& state = game.state;
};

TEST_F(StateHashTest, EveryChangeOfTheRulesShows) {
    struct Change {
        const char* what;
        std::function<void(GameState&)> make;
    };
    const Change changes[] = {
        {"screen", [](GameState& s) { s.screen = kScreenDeath; }},
        {"level number", [](GameState& s) { ++s.levelNumber; }},
        {"first level", [](GameState& s) { ++s.firstLevel; }},
        {"requested screen", [](GameState& s) { s.render.drawScreen = kScreenDeath; }},
        {"shown level", [](GameState& s) { ++s.render.shownLevel; }},
        {"death message shown", [](GameState& s) { s.render.deathMessage = kFellToDeath; }},
        {"player cell", [](GameState& s) { s.player.position.x += 1.0; }},
        {"player drawn position", [](GameState& s) { s.player.displayPosition.z += 0.05; }},
        {"player facing", [](GameState& s) { s.player.facing = Facing::MinusX; }},
        {"player yaw", [](GameState& s) { s.player.yaw += 4.5; }},
        {"player alive", [](GameState& s) { s.player.alive = false; }},
        {"player step ticks", [](GameState& s) { s.player.moveTicks = 7; }},
        {"player turn ticks", [](GameState& s) { s.player.turnTicks = 7; }},
        {"player climb phase", [](GameState& s) { s.player.climbPhase = 2; }},
        {"player fall count", [](GameState& s) { s.player.fallCount = 1; }},
        {"player shot ticks", [](GameState& s) { s.player.shotTicks = 5; }},
        {"player shot band", [](GameState& s) { s.player.shotMaxZ = 9; }},
        {"an enemy's cell", [](GameState& s) { s.enemies.back().position.z -= 1.0; }},
        {"an enemy's step ticks", [](GameState& s) { s.enemies.front().moveTicks = 11; }},
        {"an enemy fewer", [](GameState& s) { s.enemies.pop_back(); }},
        // The same enemies in another order are another state: the order decides who thinks first.
        {"enemies' order", [](GameState& s) { std::swap(s.enemies.front(), s.enemies.back()); }},
    };
    ASSERT_GE(state.enemies.size(), 2U);
    const std::uint64_t before = stateHash(state);
    for (const Change& change : changes) {
        GameState changed = state;
        change.make(changed);
        EXPECT_NE(stateHash(changed), before) << change.what;
    }
}

// A coordinate that reaches zero from below is -0.0, one from above 0.0: the same place, so the
// same state, whichever way a run got there (a replay that took the other way stays in step).
TEST_F(StateHashTest, NegativeAndPositiveZeroHashAlike) {
    const auto zeroed = [&](double zero) {
        GameState copy = state;
        copy.player.displayPosition.x = zero;
        copy.player.yaw = zero;
        copy.enemies.front().displayPosition.z = zero;
        return stateHash(copy);
    };
    EXPECT_EQ(zeroed(-0.0), zeroed(0.0));
    EXPECT_NE(zeroed(0.0), zeroed(0.05));
}

TEST_F(StateHashTest, WhatOnlyTheRenderThreadDecidesDoesNotCount) {
    const std::uint64_t before = stateHash(state);
    state.render.screenDrawn = !state.render.screenDrawn;
    state.render.frame.clearFrame();
    state.render.cameraYaw += 90.0;
    EXPECT_EQ(stateHash(state), before);
}

// A key the screen guard drops has no effect at all, on any screen: that is why a recording
// leaves such keys out, and why a replay needs no render thread to take the recorded path.
TEST(ScreenGuardTest, ADroppedKeyChangesNothing) {
    NullConsole console;
    GameDriver game(console);
    GameState& state = game.state;
    const auto dropped = [&](int code) {
        ASSERT_FALSE(canLeaveScreen(state));
        const std::uint64_t before = stateHash(state);
        const GameState copy = state;
        handleKey(state, code);
        EXPECT_EQ(stateHash(state), before) << state.screen << " key " << code;
        EXPECT_EQ(state.render.screenDrawn, copy.render.screenDrawn);
        EXPECT_EQ(state.level, copy.level);
    };
    for (const int code : {int{'x'}, int{'w'}, 0, 224, 77, 3}) {
        dropped(code);  // before the first tick: nothing requested yet
    }
    game.tick();
    dropped(' ');  // the title, requested and not drawn
    game.render();
    game.press(' ');
    dropped(' ');  // the level screen
    game.render();
    game.press(' ');
    state.player.alive = false;
    state.player.deathMessage = kKilledByEnemy;
    game.tick();
    ASSERT_EQ(state.screen, kScreenDeath);
    dropped('x');  // the game-over screen
}

}  // namespace
}  // namespace brickstorm
