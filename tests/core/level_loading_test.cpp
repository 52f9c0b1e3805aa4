#include "core/level_loading.h"

#include <gtest/gtest.h>

#include "render/level_geometry.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

// A state showing the level screen of `number`, drawn, so that the guard lets it go.
GameState onDrawnLevelScreen(std::int32_t number) {
    GameState state;
    state.levelNumber = number;
    state.screen = state.render.drawScreen = "levelintro";
    state.render.screenDrawn = true;
    return state;
}

TEST(StartLevelTest, BuildsTheFirstLevel) {
    GameState state = onDrawnLevelScreen(1);
    state.render.frame.rows[3][4] = 'x';
    state.render.frame.filledCount = 1;
    startLevel(state);

    EXPECT_EQ(state.level, Level(levelTable()[0]));
    ASSERT_NE(state.levelFaces, nullptr);
    EXPECT_EQ(state.levelFaces->listFaces(), buildLevelFaces(state.level));
    EXPECT_EQ(state.levelFaces->faceCount(), 746U);
    ASSERT_EQ(state.enemies.size(), 2U);
    EXPECT_EQ(state.enemies[0].position, (Vec3{11, 1, 13}));
    EXPECT_EQ(state.enemies[1].position, (Vec3{14, 1, 6}));
    for (const EnemyEntity& enemy : state.enemies) {
        EXPECT_EQ(enemy.displayPosition, enemy.position);
        EXPECT_EQ(enemy.speed, 0.033);
        EXPECT_EQ(enemy.level, state.level);
        EXPECT_TRUE(enemy.level.sharesCellsWith(state.level));              // a copy costs no cells
        EXPECT_EQ(&enemy.level.enemyStarts(), &state.level.enemyStarts());  // nor the starts
    }
    EXPECT_EQ(state.player.position, (Vec3{8, 1, 0}));
    EXPECT_EQ(state.player.displayPosition, (Vec3{8, 1, 0}));
    EXPECT_EQ(state.player.facing, Facing::PlusZ);
    EXPECT_EQ(state.player.yaw, 0.0);
    EXPECT_EQ(state.player.level, state.level);
    EXPECT_TRUE(state.player.level.sharesCellsWith(state.level));
    EXPECT_EQ(state.render.frame.filledCount, 0);
    EXPECT_EQ(state.render.frame.rows[3][4], 0);
    EXPECT_EQ(state.screen, "game");
    EXPECT_EQ(state.render.drawScreen, "game");
    EXPECT_FALSE(state.render.screenDrawn);
}

TEST(StartLevelTest, UndrawnLevelScreenKeepsEverything) {
    GameState state = onDrawnLevelScreen(1);
    state.render.screenDrawn = false;
    startLevel(state);
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_EQ(state.level.sizeX(), -1);
    EXPECT_EQ(state.levelFaces, nullptr);
    EXPECT_TRUE(state.enemies.empty());
}

TEST(StartLevelTest, RestartGivesTheSameWorldWhateverHappened) {
    GameState first = onDrawnLevelScreen(1);
    startLevel(first);

    GameState again = first;
    again.enemies.pop_back();
    again.player.alive = false;
    again.player.position = {3, 1, 3};
    again.player.shotTicks = 3;
    again.player.climbPhase = 2;
    again.player.turnTicks = 7;
    again.screen = again.render.drawScreen = "levelintro";
    again.render.screenDrawn = true;
    startLevel(again);

    EXPECT_EQ(again.level, first.level);
    EXPECT_NE(again.levelFaces, first.levelFaces);  // built anew
    EXPECT_EQ(again.levelFaces->listFaces(), first.levelFaces->listFaces());
    ASSERT_EQ(again.enemies.size(), first.enemies.size());
    EXPECT_EQ(again.player.position, first.player.position);
    EXPECT_TRUE(again.player.alive);
    EXPECT_EQ(again.player.shotTicks, 0);
    EXPECT_EQ(again.player.climbPhase, 0);
    EXPECT_EQ(again.player.turnTicks, 0);
}

TEST(StartLevelTest, LevelsWithoutAStringGiveTheEmptyWorld) {
    for (std::int32_t number : {2, 10, 11, 1000}) {
        GameState state = onDrawnLevelScreen(number);
        startLevel(state);
        EXPECT_EQ(state.level.sizeX(), -1) << number;
        EXPECT_EQ(state.levelFaces->faceCount(), 0U);
        EXPECT_TRUE(state.enemies.empty());
        EXPECT_EQ(state.player.position, Vec3{});
        EXPECT_EQ(state.screen, "game");
    }
}

}  // namespace
}  // namespace brickstorm
