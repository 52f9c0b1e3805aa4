#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/entity.h"
#include "tests/sim/sim_fixtures.h"

namespace brickstorm {
namespace {

using test::floorLevel;
using test::levelFromLayers;
using test::placedAt;
using test::tick;
using test::tickEnemy;

// Open ground five by five; the player stands in the middle.
Level openGround() { return floorLevel({"00000", "00000", "00000", "00000", "00000"}); }

constexpr Vec3 kPlayer{2, 1, 2};

TEST(EnemyReach, SquaredDistanceOfExactlyHundredActsAndHundredOneDoesNot) {
    const Level level = floorLevel({std::string(11, '0'), std::string(11, '0')});
    const Vec3 player{0, 1, 0};

    auto near = placedAt<EnemyEntity>(level, {10, 1, 0}, Facing::MinusX);
    near.think(player);
    EXPECT_EQ(near.moveTicks, 30);

    auto far = placedAt<EnemyEntity>(level, {10, 1, 1}, Facing::MinusX);
    far.think(player);
    EXPECT_EQ(far.moveTicks, 0);
    EXPECT_EQ(far.turnTicks, 0);
}

TEST(EnemyReach, HeightCountsInTheDistance) {
    auto enemy = placedAt<EnemyEntity>(floorLevel({"0000000000"}), {9, 1, 0}, Facing::MinusX);
    enemy.think({0, 6, 0});  // 81 + 25
    EXPECT_EQ(enemy.moveTicks, 0);
    enemy.think({0, 5, 0});  // 81 + 16
    EXPECT_EQ(enemy.moveTicks, 30);
}

struct BearingCase {
    const char* name;
    Vec3 enemy;
    Facing chosen;
};

class EnemyBearing : public ::testing::TestWithParam<BearingCase> {};

// Facing the chosen heading already, the enemy steps; any other choice would make it turn.
TEST_P(EnemyBearing, ChoosesTheFacingTowardThePlayer) {
    const BearingCase& c = GetParam();
    auto enemy = placedAt<EnemyEntity>(openGround(), c.enemy, c.chosen);
    enemy.think(kPlayer);
    EXPECT_EQ(enemy.turnTicks, 0);
    EXPECT_EQ(enemy.moveTicks, 30);
}

INSTANTIATE_TEST_SUITE_P(EnemyBearings, EnemyBearing,
                         ::testing::Values(BearingCase{"Bearing45PrefersX", {3, 1, 3}, Facing::MinusX},
                                           BearingCase{"BearingMinus45PrefersZ", {3, 1, 1}, Facing::PlusZ},
                                           BearingCase{"Bearing135PrefersZ", {1, 1, 3}, Facing::MinusZ},
                                           BearingCase{"BearingMinus135PrefersX", {1, 1, 1}, Facing::PlusX},
                                           BearingCase{"Bearing0", {3, 1, 2}, Facing::MinusX},
                                           BearingCase{"Bearing90", {2, 1, 3}, Facing::MinusZ},
                                           BearingCase{"Bearing180", {1, 1, 2}, Facing::PlusX},
                                           BearingCase{"BearingMinus90", {2, 1, 1}, Facing::PlusZ}),
                         [](const ::testing::TestParamInfo<BearingCase>& info) { return info.param.name; });

// At bearing 45 the enemy prefers -x, then -z; the cell along -x is made unusable.
TEST(EnemyThink, BlockedFirstChoiceFallsBackToTheSecond) {
    const std::vector<std::pair<const char*, Level>> fixtures = {
        {"wall", floorLevel({"000", "b00", "000"})},
        {"gap", levelFromLayers({{"bbb", "0bb", "bbb"}, {"000", "000", "000"}})},
        {"exit", floorLevel({"000", "E00", "000"})},
    };
    for (const auto& [name, level] : fixtures) {
        SCOPED_TRACE(name);
        auto enemy = placedAt<EnemyEntity>(level, {1, 1, 1}, Facing::MinusZ);
        enemy.think({0, 1, 0});
        EXPECT_EQ(enemy.turnTicks, 0);
        EXPECT_EQ(enemy.moveTicks, 30);
        EXPECT_EQ(enemy.moveDirection, Direction::MinusZ);
    }
}

TEST(EnemyThink, BothChoicesBlockedMeansWaitingEvenNextToThePlayer) {
    auto enemy = placedAt<EnemyEntity>(floorLevel({"b0", "0b"}), {1, 1, 1}, Facing::PlusZ);
    const Vec3 player{0, 1, 0};
    for (int i = 0; i < 50; ++i) {
        tickEnemy(enemy, player);
    }
    EXPECT_EQ(enemy.position, (Vec3{1, 1, 1}));
    EXPECT_EQ(enemy.facing, Facing::PlusZ);
    EXPECT_EQ(enemy.turnTicks, 0);
}

// The player is behind the enemy: two left quarter turns, the second decided after the first.
TEST(EnemyThink, ReversalIsTwoLeftTurnsWithADecisionBetween) {
    auto enemy = placedAt<EnemyEntity>(floorLevel({"0", "0", "0"}), {0, 1, 1}, Facing::PlusZ);
    const Vec3 player{0, 1, 0};

    tickEnemy(enemy, player);
    EXPECT_EQ(enemy.turnDirection, kTurnLeft);
    for (int i = 1; i < 20; ++i) {
        tickEnemy(enemy, player);
    }
    EXPECT_EQ(enemy.facing, Facing::MinusX);
    EXPECT_EQ(enemy.turnTicks, 0);

    tickEnemy(enemy, player);
    EXPECT_EQ(enemy.turnDirection, kTurnLeft);
    EXPECT_EQ(enemy.turnTicks, 19);
    for (int i = 1; i < 20; ++i) {
        tickEnemy(enemy, player);
    }
    EXPECT_EQ(enemy.facing, Facing::MinusZ);
    EXPECT_EQ(enemy.yaw, 180.0);

    tickEnemy(enemy, player);
    EXPECT_EQ(enemy.moveDirection, Direction::MinusZ);
    EXPECT_EQ(enemy.moveTicks, 29);
}

// After the first quarter turn the player has moved: the fresh decision steps instead.
TEST(EnemyThink, DecisionAfterATurnSeesThePlayerAnew) {
    auto enemy = placedAt<EnemyEntity>(floorLevel({"00", "00", "00"}), {1, 1, 1}, Facing::PlusZ);
    for (int i = 0; i < 20; ++i) {
        tickEnemy(enemy, {1, 1, 0});
    }
    ASSERT_EQ(enemy.facing, Facing::MinusX);

    tickEnemy(enemy, {0, 1, 1});
    EXPECT_EQ(enemy.turnTicks, 0);
    EXPECT_EQ(enemy.moveDirection, Direction::MinusX);
}

TEST(EnemyThink, TurnsRightWhenThatIsAQuarterTurn) {
    auto enemy = placedAt<EnemyEntity>(openGround(), {3, 1, 2}, Facing::MinusZ);
    enemy.think(kPlayer);
    EXPECT_EQ(enemy.turnDirection, kTurnRight);
    EXPECT_EQ(enemy.turnTicks, 20);
}

TEST(EnemyThink, NothingDuringAStepOrATurn) {
    auto enemy = placedAt<EnemyEntity>(openGround(), {3, 1, 2}, Facing::MinusZ);
    enemy.startTurn(kTurnLeft);
    tick(enemy, 3);
    enemy.think(kPlayer);
    EXPECT_EQ(enemy.turnDirection, kTurnLeft);
    EXPECT_EQ(enemy.turnTicks, 17);
}

struct CanStepCase {
    const char* name;
    std::vector<std::vector<std::string>> layers;
    bool expected;
};

class EnemyCanStep : public ::testing::TestWithParam<CanStepCase> {};

// An entity at (0, 1, 0) looking along +z at the cell (0, 1, 1).
TEST_P(EnemyCanStep, OnlyIntoAnEmptyCellOverABlock) {
    auto enemy = placedAt<EnemyEntity>(levelFromLayers(GetParam().layers), {0, 1, 0});
    EXPECT_EQ(enemy.canStep(Facing::PlusZ), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(EnemyCanStepCells, EnemyCanStep,
                         ::testing::Values(CanStepCase{"EmptyOverBlock", {{"b", "b"}, {"0", "0"}}, true},
                                           CanStepCase{"Wall", {{"b", "b"}, {"b", "0"}}, false},
                                           CanStepCase{"Exit", {{"b", "b"}, {"E", "0"}}, false},
                                           CanStepCase{"Ledge", {{"0", "b"}, {"0", "0"}}, false},
                                           CanStepCase{"ExitAsFloor", {{"E", "b"}, {"0", "0"}}, false},
                                           CanStepCase{"OffTheGrid", {{"b"}, {"0"}}, false}),
                         [](const ::testing::TestParamInfo<CanStepCase>& info) { return info.param.name; });

}  // namespace
}  // namespace brickstorm
