#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/game_driver.h"
#include "support/recording_console.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

using testing::GameDriver;
using testing::RecordingConsole;

// One column of floor, the player's start near and the exit one step ahead.
constexpr const char* kOneStepToTheExit = "001002002bbEp";
// The same with an enemy's start beside the way: a second level that differs from the first.
constexpr const char* kOneStepWithAnEnemy = "002002002bbbbE0pe";

TEST(GameLevelsTest, TheBuiltInTableNeverRunsOut) {
    const GameLevels levels;
    EXPECT_EQ(levels.levelText(1), levelTable()[0]);
    EXPECT_EQ(levels.levelText(2), "");
    EXPECT_EQ(levels.levelText(11), "");
    EXPECT_EQ(levels.levelText(0), "");
    for (std::int32_t number : {0, 1, 10, 11}) {
        EXPECT_FALSE(levels.isLast(number)) << number;
    }
}

TEST(GameLevelsTest, LevelsFromFilesEndWithTheLast) {
    const GameLevels levels(std::vector<std::string>{kOneStepToTheExit, kOneStepWithAnEnemy});
    EXPECT_EQ(levels.levelText(1), kOneStepToTheExit);
    EXPECT_EQ(levels.levelText(2), kOneStepWithAnEnemy);
    EXPECT_EQ(levels.levelText(3), "");
    EXPECT_FALSE(levels.isLast(1));
    EXPECT_TRUE(levels.isLast(2));
    EXPECT_FALSE(levels.isLast(3));
    GameLevels copy;
    copy = levels;  // shares, and reads the same
    EXPECT_EQ(&copy.levelText(2), &levels.levelText(2));
}

class LevelsFromFilesTest : public ::testing::Test {
protected:
    LevelsFromFilesTest() { state.levels = GameLevels({kOneStepToTheExit, kOneStepWithAnEnemy}); }

    // One step forward, ticked until the screen changes.
    void stepOntoTheExit() {
        ASSERT_EQ(state.screen, "game");
        game.press('w');
        for (int tick = 0; tick < 100 && state.screen == "game"; ++tick) {
            game.tick();
        }
    }

    RecordingConsole console;
    GameDriver game{console};
    GameState& state = game.state;
};

TEST_F(LevelsFromFilesTest, EachLevelInOrderThenTheClosingScreenThenTheTitle) {
    game.enterFirstLevel();
    EXPECT_EQ(state.level, Level(kOneStepToTheExit));
    stepOntoTheExit();
    EXPECT_EQ(state.screen, "levelintro");
    game.render();
    EXPECT_NE(console.lastPage().find("LEVEL 2"), std::string::npos);

    game.press('x');
    EXPECT_EQ(state.level, Level(kOneStepWithAnEnemy));
    EXPECT_EQ(state.enemies.size(), 1U);
    stepOntoTheExit();
    EXPECT_EQ(state.screen, "closing");
    EXPECT_EQ(state.levelNumber, 2);
    game.press('x');  // not drawn yet: the key is dropped
    EXPECT_EQ(state.screen, "closing");
    game.render();
    EXPECT_NE(console.lastPage().find("THE END"), std::string::npos);
    EXPECT_NE(console.lastPage().find("All 2 levels are cleared."), std::string::npos);

    game.press('x');
    EXPECT_EQ(state.screen, "intro");
    EXPECT_EQ(state.levelNumber, 1);
    game.tick();
    game.render();
    EXPECT_NE(console.lastPage().find("- Press any key to continue -"), std::string::npos);
    game.press('x');
    game.render();
    EXPECT_NE(console.lastPage().find("LEVEL 1"), std::string::npos);
    game.press('x');
    EXPECT_EQ(state.level, Level(kOneStepToTheExit));
}

TEST_F(LevelsFromFilesTest, AGameStartedFurtherOnStartsThereAgainAfterTheClosingScreen) {
    startAtLevel(state, 2);
    game.enterFirstLevel();
    EXPECT_EQ(state.level, Level(kOneStepWithAnEnemy));
    stepOntoTheExit();
    ASSERT_EQ(state.screen, "closing");
    game.render();
    // Only what this game cleared: not "All 2 levels".
    EXPECT_NE(console.lastPage().find("Level 2 is cleared."), std::string::npos);

    game.press('x');
    EXPECT_EQ(state.screen, "intro");
    EXPECT_EQ(state.levelNumber, 2);
    game.tick();
    game.render();
    game.press('x');
    game.render();
    EXPECT_NE(console.lastPage().find("LEVEL 2"), std::string::npos);
}

TEST_F(LevelsFromFilesTest, ASingleLevelEndsAtItsExit) {
    state.levels = GameLevels({kOneStepToTheExit});
    game.enterFirstLevel();
    stepOntoTheExit();
    EXPECT_EQ(state.screen, "closing");
    game.render();
    EXPECT_NE(console.lastPage().find("The level is cleared."), std::string::npos);
}

TEST_F(LevelsFromFilesTest, DyingInTheLastLevelStartsItAgain) {
    state.levels = GameLevels({kOneStepWithAnEnemy});
    game.enterFirstLevel();
    game.press(77);  // strafe right, off the floor's edge
    for (int tick = 0; tick < 200 && state.screen == "game"; ++tick) {
        game.tick();
    }
    EXPECT_EQ(state.screen, "death");
    game.render();
    game.press('x');
    game.render();
    EXPECT_NE(console.lastPage().find("LEVEL 1"), std::string::npos);
}

}  // namespace
}  // namespace brickstorm
