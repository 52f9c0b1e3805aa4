#include "core/game_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace brickstorm {
namespace {

TEST(GameStateTest, StartsOnTheTitleWithNothingRequested) {
    const GameState state;
    EXPECT_EQ(state.screen, "intro");
    EXPECT_EQ(state.levelNumber, 1);
    EXPECT_EQ(state.level.sizeX(), -1);
    EXPECT_EQ(state.level.cellCount(), 0U);
    EXPECT_EQ(state.levelFaces, nullptr);
    EXPECT_TRUE(state.enemies.empty());
    EXPECT_EQ(state.player.level.sizeY(), -1);
    EXPECT_EQ(state.player.shotTicks, 0);
    EXPECT_TRUE(state.player.alive);

    const RenderState& render = state.render;
    EXPECT_EQ(render.levelFaces, nullptr);
    EXPECT_TRUE(render.enemyFaces.empty());
    EXPECT_EQ(render.cameraPosition, Vec3{});
    EXPECT_EQ(render.cameraYaw, 0.0);
    EXPECT_EQ(render.drawScreen, "");
    EXPECT_FALSE(render.screenDrawn);
    EXPECT_EQ(render.shownLevel, 0);
    EXPECT_EQ(render.deathMessage, "");
    EXPECT_EQ(render.view.horizontalFov, 60);
    EXPECT_EQ(render.view.verticalFov, 40);
    ASSERT_EQ(render.frame.rows.size(), 60U);
    for (const auto& row : render.frame.rows) {
        EXPECT_EQ(row, std::vector<unsigned char>(90, 0));
    }
    EXPECT_EQ(render.frame.filledCount, 0);
}

TEST(GameStateTest, ScreenGuard) {
    struct Case {
        const char* drawScreen;
        bool screenDrawn;
        bool mayLeave;
    };
    const Case cases[] = {
        {"", false, false},           {"", true, true},
        {"intro", false, false},      {"intro", true, true},
        {"levelintro", false, false}, {"levelintro", true, true},
        {"death", false, false},      {"death", true, true},
        {"game", false, true},        {"game", true, true},
    };
    for (const Case& c : cases) {
        GameState state;
        state.render.drawScreen = c.drawScreen;
        state.render.screenDrawn = c.screenDrawn;
        EXPECT_EQ(canLeaveScreen(state), c.mayLeave) << c.drawScreen << " drawn=" << c.screenDrawn;
    }
}

TEST(GameStateTest, LevelScreenSwitchWaitsForTheGuard) {
    GameState state;
    state.render.drawScreen = "death";
    state.screen = "death";
    state.levelNumber = 3;
    showLevelScreen(state);
    EXPECT_EQ(state.screen, "death");
    EXPECT_EQ(state.render.shownLevel, 0);

    state.render.screenDrawn = true;
    showLevelScreen(state);
    EXPECT_EQ(state.screen, "levelintro");
    EXPECT_EQ(state.render.drawScreen, "levelintro");
    EXPECT_EQ(state.render.shownLevel, 3);
    EXPECT_FALSE(state.render.screenDrawn);
}

}  // namespace
}  // namespace brickstorm
