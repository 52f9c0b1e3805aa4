#include "core/key_handler.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/game_driver.h"

namespace brickstorm {
namespace {

using testing::GameDriver;
using testing::NullConsole;

class KeyHandlerTest : public ::testing::Test {
protected:
    NullConsole console;
    GameDriver game{console};
    GameState& state = game.state;
};

TEST_F(KeyHandlerTest, TextScreensMoveOnOnlyOnceDrawn) {
    game.press('x');  // nothing requested yet
    game.tick();
    game.press('x');  // the title is requested, not drawn
    EXPECT_EQ(state.screen, "intro");

    game.render();
    game.press('x');
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_EQ(state.render.shownLevel, 1);

    game.press('x');  // the level screen is not drawn yet
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_TRUE(state.enemies.empty());

    game.render();
    game.press('x');
    EXPECT_EQ(state.screen, "game");
    EXPECT_EQ(state.enemies.size(), 2U);
}

TEST_F(KeyHandlerTest, ArrowOnTheLevelScreenStartsTheLevelThenStrafes) {
    game.tick();
    game.render();
    game.press(kNavigationKeyPrefix);
    game.press(kLeftArrowCode);  // the arrow's second code meets an undrawn level screen and is dropped
    EXPECT_EQ(state.screen, "levelintro");

    game.render();
    game.press(kNavigationKeyPrefix);
    EXPECT_EQ(state.screen, "game");
    game.press(kLeftArrowCode);
    EXPECT_EQ(state.player.moveTicks, 20);
    EXPECT_EQ(state.player.moveDirection, Direction::MinusX);
}

// What one key does to the player standing at the start of level 1, facing +z.
struct GameKeyCase {
    int code;
    std::int32_t moveTicks;
    Direction moveDirection;
    std::int32_t turnTicks;
    std::uint8_t turnDirection;
    std::int32_t shotTicks;
};

class GameKeyTest : public KeyHandlerTest, public ::testing::WithParamInterface<GameKeyCase> {};

TEST_P(GameKeyTest, StartsItsCommand) {
    const GameKeyCase& c = GetParam();
    game.enterFirstLevel();
    game.press(c.code);
    const PlayerEntity& player = state.player;
    EXPECT_EQ(player.moveTicks, c.moveTicks);
    EXPECT_EQ(player.moveDirection, c.moveDirection);
    EXPECT_EQ(player.turnTicks, c.turnTicks);
    EXPECT_EQ(player.turnDirection, c.turnDirection);
    EXPECT_EQ(player.shotTicks, c.shotTicks);
    EXPECT_EQ(player.climbPhase, 0);  // nothing to climb at the start
    EXPECT_EQ(state.screen, "game");
}

INSTANTIATE_TEST_SUITE_P(
    EveryKey, GameKeyTest,
    ::testing::Values(
        GameKeyCase{'w', 20, Direction::PlusZ, 0, 0, 0},
        GameKeyCase{'s', 20, Direction::MinusZ, 0, 0, 0},  // off the grid: still a step
        GameKeyCase{115, 20, Direction::MinusZ, 0, 0, 0},  // Ctrl+Left's second code
        GameKeyCase{119, 20, Direction::PlusZ, 0, 0, 0},   // Ctrl+Home's second code
        GameKeyCase{75, 20, Direction::MinusX, 0, 0, 0},   // left arrow, and "K"
        GameKeyCase{77, 20, Direction::PlusX, 0, 0, 0},    // right arrow, and "M"
        GameKeyCase{'a', 0, Direction::PlusZ, 20, 0, 0}, GameKeyCase{'d', 0, Direction::PlusZ, 20, 1, 0},
        GameKeyCase{' ', 0, Direction::PlusZ, 0, 0, 0}, GameKeyCase{'r', 0, Direction::PlusZ, 0, 0, 5},
        GameKeyCase{'W', 0, Direction::PlusZ, 0, 0, 0}, GameKeyCase{'A', 0, Direction::PlusZ, 0, 0, 0},
        GameKeyCase{'S', 0, Direction::PlusZ, 0, 0, 0}, GameKeyCase{'D', 0, Direction::PlusZ, 0, 0, 0},
        GameKeyCase{'R', 0, Direction::PlusZ, 0, 0, 0}, GameKeyCase{0, 0, Direction::PlusZ, 0, 0, 0},
        GameKeyCase{224, 0, Direction::PlusZ, 0, 0, 0},
        GameKeyCase{72, 0, Direction::PlusZ, 0, 0, 0},   // up arrow
        GameKeyCase{80, 0, Direction::PlusZ, 0, 0, 0},   // down arrow
        GameKeyCase{3, 0, Direction::PlusZ, 0, 0, 0}));  // Ctrl+C

TEST_F(KeyHandlerTest, TurnKeysRespectATurnUnderWayButNotAStep) {
    game.enterFirstLevel();
    game.press('a');
    game.tick(5);
    game.press('d');  // ignored: a turn is under way
    EXPECT_EQ(state.player.turnDirection, kTurnLeft);
    EXPECT_EQ(state.player.turnTicks, 15);

    game.tick(15);
    game.press('s');  // facing -x now: back is +x
    game.tick(3);
    game.press('d');  // a turn may start during a step
    EXPECT_EQ(state.player.turnTicks, 20);
    EXPECT_EQ(state.player.turnDirection, kTurnRight);
    EXPECT_EQ(state.player.moveDirection, Direction::PlusX);
}

TEST_F(KeyHandlerTest, AfterADeathTheSameLevelComesBack) {
    game.enterFirstLevel();
    state.levelNumber = 1;
    state.player.alive = false;
    state.player.deathMessage = "You were killed.";
    game.tick();
    ASSERT_EQ(state.screen, "death");

    game.press('x');  // the game-over screen has not been drawn
    EXPECT_EQ(state.screen, "death");
    game.render();
    game.press('x');
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_EQ(state.render.shownLevel, 1);
    game.render();
    game.press('x');
    EXPECT_EQ(state.screen, "game");
    EXPECT_TRUE(state.player.alive);
}

}  // namespace
}  // namespace brickstorm
