#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "support/game_driver.h"
#include "support/recording_console.h"

namespace brickstorm {
namespace {

using testing::GameDriver;
using testing::NullConsole;
using testing::RecordingConsole;

// Whole play-throughs of the real game rules, driven key by key and tick by tick.
class PlayTest : public ::testing::Test {
protected:
    // Ticks until the screen leaves "game" and returns how many ticks that took (0 if it did not
    // within `limit`).
    int ticksUntilTheGameEnds(int limit) {
        for (int tick = 1; tick <= limit; ++tick) {
            game.tick();
            if (state.screen != "game") {
                return tick;
            }
        }
        return 0;
    }

    // Standing facing +z, waits until an enemy steps into the column ahead, then shoots it.
    // Returns false if none came within `limit` ticks or the shot missed.
    bool shootTheNextEnemyAhead(int limit) {
        const std::size_t enemiesBefore = state.enemies.size();
        const Vec3& player = state.player.position;
        for (int tick = 0; tick < limit && state.screen == "game"; ++tick) {
            game.tick();
            for (const EnemyEntity& enemy : state.enemies) {
                if (enemy.position.x == player.x && enemy.position.z > player.z) {
                    game.press('r');
                    game.tick(2);  // the shot kills, the next tick removes the dead
                    return state.enemies.size() == enemiesBefore - 1;
                }
            }
        }
        return false;
    }

    RecordingConsole console;
    GameDriver game{console};
    GameState& state = game.state;
};

TEST_F(PlayTest, TitleThenLevelScreenThenTheGame) {
    game.press('x');  // before the title is even requested
    EXPECT_EQ(state.screen, "intro");
    game.tick();
    EXPECT_EQ(state.render.drawScreen, "intro");
    game.render();
    EXPECT_NE(console.lastPage().find("- Press any key to continue -"), std::string::npos);

    game.press('x');
    game.render();
    EXPECT_NE(console.lastPage().find("LEVEL 1"), std::string::npos);

    game.press('x');
    EXPECT_EQ(state.screen, "game");
    game.tick();
    game.render();
    EXPECT_EQ(console.pages.size(), 3U);
    EXPECT_NE(console.lastPage().find(static_cast<char>(219)), std::string::npos);  // walls in view
}

TEST_F(PlayTest, WalkingOffTheEdgeEndsInAFall) {
    game.enterFirstLevel();
    game.act('a');
    game.act('a');
    EXPECT_EQ(state.player.facing, Facing::MinusZ);

    game.press('w');  // toward z = -1, off the grid
    // 20 ticks of the step, then a fall step every 5 ticks: the tenth begins on tick 65.
    EXPECT_EQ(ticksUntilTheGameEnds(1000), 65);
    EXPECT_EQ(state.screen, "death");
    game.render();
    EXPECT_NE(console.lastPage().find("You fell to your death."), std::string::npos);

    game.press('x');
    game.render();
    EXPECT_NE(console.lastPage().find("LEVEL 1"), std::string::npos);
    game.press('x');
    EXPECT_EQ(state.screen, "game");
    EXPECT_EQ(state.player.position, (Vec3{8, 1, 0}));
    EXPECT_EQ(state.enemies.size(), 2U);
}

TEST_F(PlayTest, APlayerThatNeverComesToRestFailsTheActionInsteadOfHangingIt) {
    game.enterFirstLevel();
    game.act('a');
    game.act('a');              // facing the open edge, where a step is free
    state.enemies.clear();      // none comes to end the game first
    state.player.speed = 1e-9;  // a step that would take a billion ticks
    bool cameToRest = true;
    EXPECT_NONFATAL_FAILURE(cameToRest = game.act('w'), "did not come to rest within");
    EXPECT_FALSE(cameToRest);
}

TEST_F(PlayTest, StandingStillTheNearEnemyComesAndKills) {
    game.enterFirstLevel();
    const Vec3 farEnemy = state.enemies[0].position;
    for (int tick = 1; tick < 586; ++tick) {
        game.tick();
        ASSERT_EQ(state.screen, "game") << "tick " << tick;
        ASSERT_EQ(state.enemies[0].displayPosition, farEnemy) << "tick " << tick;
    }
    game.tick();
    EXPECT_EQ(state.screen, "death");
    EXPECT_EQ(state.render.deathMessage, "You were killed.");
}

// Level 1 from start to exit: the near enemy is shot as it comes up to the player's start, the
// far one from (8, 1, 9) as it rounds the house, and the way in is the opening at (10, 1, 9).
TEST_F(PlayTest, ShootingBothEnemiesAndReachingTheExit) {
    game.enterFirstLevel();
    ASSERT_TRUE(shootTheNextEnemyAhead(1000));
    for (int cell = 1; cell <= 9; ++cell) {
        game.act('w');
    }
    ASSERT_EQ(state.player.position, (Vec3{8, 1, 9}));
    ASSERT_TRUE(shootTheNextEnemyAhead(1000));
    ASSERT_TRUE(state.enemies.empty());

    for (int cell = 9; cell <= 12; ++cell) {
        game.act(77);  // strafe right, through the opening
    }
    ASSERT_EQ(state.player.position, (Vec3{12, 1, 9}));
    game.act('w');
    game.act('w');  // the exit counts as soon as the drawn position rounds onto it
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_EQ(state.levelNumber, 2);
    game.render();
    EXPECT_NE(console.lastPage().find("LEVEL 2"), std::string::npos);

    game.press('x');
    EXPECT_EQ(state.screen, "game");
    EXPECT_EQ(ticksUntilTheGameEnds(1000), 46);
    EXPECT_EQ(state.render.deathMessage, "You fell to your death.");
}

TEST_F(PlayTest, TheEmptySecondLevelKillsByFalling) {
    state.levelNumber = 2;
    game.enterFirstLevel();
    EXPECT_EQ(state.render.shownLevel, 2);
    EXPECT_EQ(ticksUntilTheGameEnds(1000), 46);
    EXPECT_EQ(state.render.deathMessage, "You fell to your death.");
}

// Random keys between ticks, and render passes now and then: whatever the player does, the
// game's invariants hold after every tick.
TEST(PlaySoakTest, RandomKeysKeepTheInvariants) {
    NullConsole console;
    GameDriver game(console);
    GameState& state = game.state;
    std::mt19937 random(20261210);
    const int keys[] = {'w', 's', 'a', 'd', ' ', 'r', 75, 77, 0, 224, 'x', 'W', 3};
    std::uniform_int_distribution<std::size_t> pickKey(0, std::size(keys) - 1);
    std::uniform_int_distribution<int> keysBetweenTicks(0, 2);

    std::int32_t levelNumber = state.levelNumber;
    for (int tick = 0; tick < 25000; ++tick) {
        for (int k = keysBetweenTicks(random); k > 0; --k) {
            game.press(keys[pickKey(random)]);
        }
        game.tick();
        if (tick % 4 == 0) {
            game.render();
        }

        const std::string& screen = state.screen;
        ASSERT_TRUE(screen == "intro" || screen == "levelintro" || screen == "game" || screen == "death")
            << screen;
        if (screen == "game") {
            ASSERT_EQ(state.render.drawScreen, "game");
        }
        ASSERT_GE(state.levelNumber, levelNumber);
        levelNumber = state.levelNumber;

        const PlayerEntity& player = state.player;
        ASSERT_GE(player.yaw, 0.0);
        ASSERT_LT(player.yaw, 360.0);
        for (double coordinate : {player.position.x, player.position.y, player.position.z}) {
            ASSERT_EQ(coordinate, std::round(coordinate));
        }
        if (player.moveTicks == 0 && player.climbPhase == 0 && player.alive) {
            ASSERT_EQ(player.displayPosition.x, player.position.x) << "tick " << tick;
            ASSERT_EQ(player.displayPosition.z, player.position.z) << "tick " << tick;
        }
        if (player.turnTicks == 0) {
            ASSERT_EQ(player.yaw, 90.0 * static_cast<int>(player.facing)) << "tick " << tick;
        }
    }
}

}  // namespace
}  // namespace brickstorm
