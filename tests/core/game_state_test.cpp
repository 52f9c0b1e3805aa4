#include "core/game_state.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "core/loops.h"

namespace brickstorm {
namespace {

using std::chrono::milliseconds;

TEST(GameStateTest, StartsOnTheTitleWithNothingRequested) {
    const GameState state;
    EXPECT_EQ(state.screen, "intro");
    EXPECT_EQ(state.levelNumber, 1);
    EXPECT_EQ(state.level.sizeX, -1);
    EXPECT_EQ(state.level.cellCount(), 0U);
    EXPECT_EQ(state.levelFaces, nullptr);
    EXPECT_TRUE(state.enemies.empty());
    EXPECT_EQ(state.player.level.sizeY, -1);
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

// A clock that only moves when the work or a sleep moves it.
struct FakeClock {
    using time_point = std::chrono::steady_clock::time_point;
    time_point current{};
    std::vector<std::chrono::nanoseconds> sleeps;
    int yields = 0;

    time_point now() const { return current; }
    void sleepUntil(time_point deadline) {
        sleeps.push_back(deadline - current);
        current = deadline;
    }
    void yieldNow() { ++yields; }
};

TEST(PacedLoopTest, WaitsForTheRestOfThePeriodAndNeverCatchesUp) {
    struct Case {
        milliseconds period;
        milliseconds work;
        milliseconds wait;  // zero: no sleep, a yield instead
    };
    const Case cases[] = {
        {milliseconds(50), milliseconds(20), milliseconds(30)},
        {milliseconds(50), milliseconds(0), milliseconds(50)},
        {milliseconds(50), milliseconds(49), milliseconds(1)},
        {milliseconds(50), milliseconds(50), milliseconds(0)},
        {milliseconds(50), milliseconds(120), milliseconds(0)},
        {milliseconds(100), milliseconds(30), milliseconds(70)},
    };
    for (const Case& c : cases) {
        FakeClock clock;
        const auto work = [&] { clock.current += c.work; };
        pacedPass(c.period, work, clock);
        if (c.wait > milliseconds(0)) {
            ASSERT_EQ(clock.sleeps.size(), 1U);
            EXPECT_EQ(clock.sleeps[0], c.wait);
            EXPECT_EQ(clock.yields, 0);
        } else {
            EXPECT_TRUE(clock.sleeps.empty());
            EXPECT_EQ(clock.yields, 1);
        }
    }
}

TEST(PacedLoopTest, PassesStartOnePeriodApartAfterShortWork) {
    FakeClock clock;
    std::vector<FakeClock::time_point> starts;
    for (int pass = 0; pass < 4; ++pass) {
        const auto work = [&] {
            starts.push_back(clock.current);
            clock.current += milliseconds(pass == 1 ? 80 : 5);  // the second pass overruns
        };
        pacedPass(kTickPeriod, work, clock);
    }
    ASSERT_EQ(starts.size(), 4U);
    EXPECT_EQ(starts[1] - starts[0], milliseconds(50));
    EXPECT_EQ(starts[2] - starts[1], milliseconds(80));  // late, and not made up later
    EXPECT_EQ(starts[3] - starts[2], milliseconds(50));
}

}  // namespace
}  // namespace brickstorm
