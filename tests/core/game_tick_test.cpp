#include "core/game_tick.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/level_loading.h"
#include "render/face_chunks.h"
#include "render/level_geometry.h"
#include "render/scene.h"

namespace brickstorm {
namespace {

// A 12 x 3 x 12 floor with the player in one corner. Enemies placed more than ten cells away
// stay idle, so a test decides exactly what they do.
class GameTickTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text = "012003012";
        text += std::string(144, 'b');  // y = 0: the floor
        text += std::string(288, '0');  // y = 1 and 2: open
        text[9 + 144 + 11 * 12] = 'p';  // (0, 1, 0)
        level = Level(text);
        state.level = level;
        state.levelFaces = std::make_shared<const FaceChunks>(level);
        state.player = PlayerEntity(level);
        state.player.position = state.player.displayPosition = level.playerStart;
        state.screen = state.render.drawScreen = "game";
    }

    EnemyEntity enemyAt(Vec3 cell) const {
        EnemyEntity enemy(level);
        enemy.position = enemy.displayPosition = cell;
        return enemy;
    }

    Level level;
    GameState state;
};

TEST_F(GameTickTest, TitleTickOnlyRequestsTheTitle) {
    GameState fresh;
    gameTick(fresh);
    EXPECT_EQ(fresh.render.drawScreen, "intro");
    EXPECT_FALSE(fresh.render.screenDrawn);
    EXPECT_EQ(fresh.screen, "intro");

    fresh.render.screenDrawn = true;  // drawn: the title is not requested again
    gameTick(fresh);
    EXPECT_TRUE(fresh.render.screenDrawn);
}

TEST_F(GameTickTest, LevelAndGameOverScreensTickNothing) {
    state.enemies.push_back(enemyAt({11, 1, 11}));
    state.player.moveTicks = 5;
    for (const char* screen : {"levelintro", "death"}) {
        state.screen = screen;
        gameTick(state);
        EXPECT_EQ(state.player.moveTicks, 5);
        EXPECT_EQ(state.render.levelFaces, nullptr);
        EXPECT_TRUE(state.render.enemyFaces.empty());
        EXPECT_EQ(state.enemies.size(), 1U);
    }
}

TEST_F(GameTickTest, PublishesLevelFacesThenEnemyFacesAndTheCamera) {
    state.enemies = {enemyAt({11, 1, 11}), enemyAt({11, 1, 10})};
    state.player.yaw = 90.0;
    state.player.facing = Facing::PlusX;
    gameTick(state);

    FaceList expected;
    for (const EnemyEntity& enemy : state.enemies) {
        expected = appendFaces(expected, enemy.buildModel());
    }
    EXPECT_EQ(state.render.levelFaces, state.levelFaces);  // shared, not copied
    EXPECT_EQ(state.render.levelFaces->listFaces(), buildLevelFaces(level));
    EXPECT_EQ(state.render.enemyFaces, expected);
    EXPECT_EQ(state.render.enemyFaces.size(), 12U);
    EXPECT_EQ(state.render.cameraPosition, state.player.displayPosition);
    EXPECT_EQ(state.render.cameraYaw, 90.0);
    EXPECT_FALSE(state.render.screenDrawn);
}

TEST_F(GameTickTest, DeadEnemiesAreRemovedTogetherAndTheRestKeepTheirOrder) {
    state.enemies = {enemyAt({11, 1, 11}), enemyAt({10, 1, 11}), enemyAt({11, 1, 10}), enemyAt({9, 1, 11})};
    state.enemies[1].alive = false;
    state.enemies[2].alive = false;
    gameTick(state);
    ASSERT_EQ(state.enemies.size(), 2U);
    EXPECT_EQ(state.enemies[0].position, (Vec3{11, 1, 11}));
    EXPECT_EQ(state.enemies[1].position, (Vec3{9, 1, 11}));
}

TEST_F(GameTickTest, EnemyFallingToItsDeathIsGoneInTheSameTick) {
    EnemyEntity faller = enemyAt({20, 1, 20});  // outside the grid: nothing below
    faller.fallCount = 9;                       // the next fall step is its tenth
    state.enemies = {faller};
    gameTick(state);
    EXPECT_TRUE(state.enemies.empty());
    EXPECT_TRUE(state.render.enemyFaces.empty());
}

TEST_F(GameTickTest, ShotEnemyIsDrawnOnceMoreThenRemoved) {
    state.enemies = {enemyAt({0, 1, 8})};  // straight ahead of the player
    state.player.shoot();
    gameTick(state);
    ASSERT_EQ(state.enemies.size(), 1U);
    EXPECT_FALSE(state.enemies[0].alive);
    EXPECT_EQ(state.enemies[0].deathMessage, "You were shot.");
    EXPECT_EQ(state.render.enemyFaces.size(), 6U);

    gameTick(state);
    EXPECT_TRUE(state.enemies.empty());
    EXPECT_TRUE(state.render.enemyFaces.empty());
}

TEST_F(GameTickTest, ContactKillsBeforeTheShotResolves) {
    EnemyEntity enemy = enemyAt({0, 1, 1});
    enemy.displayPosition.z = 0.4;  // already rounds into the player's cell
    state.enemies = {enemy};
    state.player.shoot();
    gameTick(state);
    EXPECT_FALSE(state.player.alive);
    EXPECT_EQ(state.screen, "death");
    EXPECT_EQ(state.render.drawScreen, "death");
    EXPECT_EQ(state.render.deathMessage, "You were killed.");
}

TEST_F(GameTickTest, ReachingTheExitWinsOverDyingInTheSameTick) {
    state.level.setCell(0, 1, 1, kCellExit);  // just ahead
    state.player.displayPosition.z = 0.5;     // this tick's glide takes it onto the exit
    state.player.moveTicks = 10;
    state.player.alive = false;
    state.player.deathMessage = "You were killed.";
    state.levelNumber = 4;
    gameTick(state);
    EXPECT_EQ(state.levelNumber, 5);
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_EQ(state.render.drawScreen, "levelintro");
    EXPECT_EQ(state.render.shownLevel, 5);
    EXPECT_FALSE(state.render.screenDrawn);
    EXPECT_EQ(state.render.deathMessage, "");
}

TEST_F(GameTickTest, DeathShowsTheCauseOfThePlayer) {
    state.player.alive = false;
    state.player.deathMessage = "You fell to your death.";
    gameTick(state);
    EXPECT_EQ(state.screen, "death");
    EXPECT_EQ(state.render.deathMessage, "You fell to your death.");
    EXPECT_FALSE(state.render.screenDrawn);
}

TEST(ShowDeathScreenTest, WaitsForTheGuard) {
    GameState state;
    state.screen = state.render.drawScreen = "levelintro";  // requested, not yet drawn
    showDeathScreen(state, "You were killed.");
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_EQ(state.render.deathMessage, "");
}

}  // namespace
}  // namespace brickstorm
