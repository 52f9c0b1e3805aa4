#include <gtest/gtest.h>

#include <cmath>

#include "sim/entity.h"
#include "tests/sim/sim_fixtures.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

using test::floorLevel;
using test::placedAt;
using test::tick;

// Open ground around the centre cell (1, 1, 1).
Level openGround() { return floorLevel({"000", "000", "000"}); }

constexpr Vec3 kCentre{1.0, 1.0, 1.0};

struct StepCase {
    Facing facing;
    MoveCommand command;
    Direction direction;
    Vec3 end;
};

class MovementStepTable : public ::testing::TestWithParam<StepCase> {};

TEST_P(MovementStepTable, CommandStepsAlongTheFacingsDirectionOntoTheNextCell) {
    const StepCase& c = GetParam();
    auto player = placedAt<PlayerEntity>(openGround(), kCentre, c.facing);

    player.move(c.command);
    EXPECT_EQ(player.moveDirection, c.direction);
    EXPECT_EQ(player.moveTicks, 20);

    tick(player, 20);
    EXPECT_EQ(player.position, c.end);
    EXPECT_EQ(player.displayPosition, c.end);
    EXPECT_EQ(player.moveTicks, 0);
}

INSTANTIATE_TEST_SUITE_P(
    MovementEveryFacingAndCommand, MovementStepTable,
    ::testing::Values(StepCase{Facing::PlusZ, MoveCommand::Forward, Direction::PlusZ, {1, 1, 2}},
                      StepCase{Facing::PlusZ, MoveCommand::Back, Direction::MinusZ, {1, 1, 0}},
                      StepCase{Facing::PlusZ, MoveCommand::Left, Direction::MinusX, {0, 1, 1}},
                      StepCase{Facing::PlusZ, MoveCommand::Right, Direction::PlusX, {2, 1, 1}},
                      StepCase{Facing::PlusX, MoveCommand::Forward, Direction::PlusX, {2, 1, 1}},
                      StepCase{Facing::PlusX, MoveCommand::Back, Direction::MinusX, {0, 1, 1}},
                      StepCase{Facing::PlusX, MoveCommand::Left, Direction::PlusZ, {1, 1, 2}},
                      StepCase{Facing::PlusX, MoveCommand::Right, Direction::MinusZ, {1, 1, 0}},
                      StepCase{Facing::MinusZ, MoveCommand::Forward, Direction::MinusZ, {1, 1, 0}},
                      StepCase{Facing::MinusZ, MoveCommand::Back, Direction::PlusZ, {1, 1, 2}},
                      StepCase{Facing::MinusZ, MoveCommand::Left, Direction::PlusX, {2, 1, 1}},
                      StepCase{Facing::MinusZ, MoveCommand::Right, Direction::MinusX, {0, 1, 1}},
                      StepCase{Facing::MinusX, MoveCommand::Forward, Direction::MinusX, {0, 1, 1}},
                      StepCase{Facing::MinusX, MoveCommand::Back, Direction::PlusX, {2, 1, 1}},
                      StepCase{Facing::MinusX, MoveCommand::Left, Direction::MinusZ, {1, 1, 0}},
                      StepCase{Facing::MinusX, MoveCommand::Right, Direction::PlusZ, {1, 1, 2}}));

TEST(MovementStep, CommandWithoutMeaningStartsNothing) {
    auto player = placedAt<PlayerEntity>(openGround(), kCentre);
    player.moveDirection = Direction::Down;  // as a fall leaves it

    player.move(static_cast<MoveCommand>(4));

    EXPECT_EQ(player.moveDirection, Direction::Down);
    EXPECT_EQ(player.moveTicks, 0);
}

TEST(MovementStep, BlockedStepChangesOnlyTheDirection) {
    auto player = placedAt<PlayerEntity>(floorLevel({"000", "00b", "000"}), kCentre);

    player.move(MoveCommand::Right);

    EXPECT_EQ(player.moveDirection, Direction::PlusX);
    EXPECT_EQ(player.moveTicks, 0);
    EXPECT_EQ(player.position, kCentre);
    EXPECT_EQ(player.displayPosition, kCentre);
    tick(player);
    EXPECT_EQ(player.displayPosition, kCentre);
}

TEST(MovementStep, PlayerStepEndsExactlyOnTheNewCellAfterTwentyTicks) {
    auto player = placedAt<PlayerEntity>(openGround(), kCentre, Facing::PlusX);
    player.move(MoveCommand::Forward);

    tick(player, 19);
    EXPECT_EQ(player.position, kCentre);
    EXPECT_NEAR(player.displayPosition.x, 1.95, 1e-9);

    tick(player);
    EXPECT_EQ(player.position, (Vec3{2, 1, 1}));
    EXPECT_EQ(player.displayPosition.x, 2.0);
}

TEST(MovementStep, EnemyStepEndsOnTheNewCellAfterThirtyTicks) {
    auto enemy = placedAt<EnemyEntity>(openGround(), kCentre, Facing::MinusZ);
    enemy.move(MoveCommand::Forward);
    EXPECT_EQ(enemy.moveTicks, 30);

    tick(enemy, 29);
    EXPECT_EQ(enemy.position, kCentre);

    tick(enemy);
    EXPECT_EQ(enemy.position, (Vec3{1, 1, 0}));
    EXPECT_EQ(enemy.displayPosition.z, 0.0);  // the snap closes the last 0.01
}

TEST(MovementStep, OnlyThePlayerMayStepIntoTheExit) {
    const Level level = floorLevel({"000", "0E0", "000"});
    auto player = placedAt<PlayerEntity>(level, {1, 1, 0});
    auto enemy = placedAt<EnemyEntity>(level, {1, 1, 0});

    player.move(MoveCommand::Forward);
    enemy.move(MoveCommand::Forward);

    EXPECT_EQ(player.moveTicks, 20);
    EXPECT_EQ(enemy.moveTicks, 0);
    EXPECT_EQ(enemy.moveDirection, Direction::PlusZ);
}

TEST(MovementStep, StepTowardOutsideTheGridStarts) {
    auto player = placedAt<PlayerEntity>(openGround(), {0, 1, 1}, Facing::MinusX);

    player.move(MoveCommand::Forward);

    EXPECT_EQ(player.moveTicks, 20);
    tick(player, 20);
    EXPECT_EQ(player.position, (Vec3{-1, 1, 1}));
}

TEST(MovementStep, MoveDuringAStepOrATurnDoesNothing) {
    auto stepping = placedAt<PlayerEntity>(openGround(), kCentre);
    stepping.move(MoveCommand::Forward);
    tick(stepping, 5);
    stepping.move(MoveCommand::Left);
    EXPECT_EQ(stepping.moveDirection, Direction::PlusZ);
    EXPECT_EQ(stepping.moveTicks, 15);

    auto turning = placedAt<PlayerEntity>(openGround(), kCentre);
    turning.startTurn(kTurnLeft);
    tick(turning);
    turning.move(MoveCommand::Left);
    EXPECT_EQ(turning.moveDirection, Direction::PlusZ);
    EXPECT_EQ(turning.moveTicks, 0);
}

// The drawn position is accumulated tick by tick: ten ticks of -0.05 from 12 give 11.4999...,
// which rounds onto the exit at z = 11 where 11.5 computed afresh would not.
TEST(MovementStep, AccumulatedDrawnPositionReachesTheExitOnTheTenthTick) {
    auto player = placedAt<PlayerEntity>(Level(levelTable()[0]), {12, 1, 12}, Facing::MinusZ);
    player.move(MoveCommand::Forward);
    ASSERT_EQ(player.moveTicks, 20);

    tick(player, 9);
    EXPECT_EQ(std::round(player.displayPosition.z), 12.0);
    tick(player);
    EXPECT_LT(player.displayPosition.z, 11.5);
    EXPECT_EQ(std::round(player.displayPosition.z), 11.0);
}

struct TurnCase {
    Facing from;
    std::uint8_t direction;
    Facing to;
};

class TurnTable : public ::testing::TestWithParam<TurnCase> {};

TEST_P(TurnTable, QuarterTurnEndsOnTheNextFacingWithAWholeYaw) {
    const TurnCase& c = GetParam();
    auto player = placedAt<PlayerEntity>(openGround(), kCentre, c.from);

    player.startTurn(c.direction);
    EXPECT_EQ(player.turnTicks, 20);
    tick(player, 19);
    EXPECT_EQ(player.facing, c.from);

    tick(player);
    EXPECT_EQ(player.turnTicks, 0);
    EXPECT_EQ(player.facing, c.to);
    EXPECT_EQ(player.yaw, 90.0 * static_cast<double>(c.to));
}

INSTANTIATE_TEST_SUITE_P(TurnEveryFacingBothWays, TurnTable,
                         ::testing::Values(TurnCase{Facing::PlusZ, kTurnLeft, Facing::MinusX},
                                           TurnCase{Facing::PlusX, kTurnLeft, Facing::PlusZ},
                                           TurnCase{Facing::MinusZ, kTurnLeft, Facing::PlusX},
                                           TurnCase{Facing::MinusX, kTurnLeft, Facing::MinusZ},
                                           TurnCase{Facing::PlusZ, kTurnRight, Facing::PlusX},
                                           TurnCase{Facing::PlusX, kTurnRight, Facing::MinusZ},
                                           TurnCase{Facing::MinusZ, kTurnRight, Facing::MinusX},
                                           TurnCase{Facing::MinusX, kTurnRight, Facing::PlusZ}));

TEST(TurnTest, LeftFromZeroWrapsOnItsFirstTick) {
    auto player = placedAt<PlayerEntity>(openGround(), kCentre);
    player.startTurn(kTurnLeft);
    tick(player);
    EXPECT_EQ(player.yaw, 355.5);
}

TEST(TurnTest, RightOntoFacingZeroEndsAtZeroNotAFullTurn) {
    auto player = placedAt<PlayerEntity>(openGround(), kCentre, Facing::MinusX);
    player.startTurn(kTurnRight);
    tick(player, 20);
    EXPECT_EQ(player.yaw, 0.0);
}

TEST(TurnTest, SecondTurnDuringATurnIsIgnored) {
    auto player = placedAt<PlayerEntity>(openGround(), kCentre);
    player.startTurn(kTurnLeft);
    tick(player, 5);
    player.startTurn(kTurnRight);
    EXPECT_EQ(player.turnDirection, kTurnLeft);
    EXPECT_EQ(player.turnTicks, 15);
}

TEST(TurnTest, TurnDirectionWithoutMeaningStartsNothing) {
    auto player = placedAt<PlayerEntity>(openGround(), kCentre);
    player.startTurn(2);
    EXPECT_EQ(player.turnTicks, 0);
    EXPECT_EQ(player.turnDirection, kTurnLeft);
}

TEST(TurnTest, TurnDuringAStepLeavesTheStepAlone) {
    auto player = placedAt<PlayerEntity>(openGround(), kCentre);
    player.move(MoveCommand::Forward);
    tick(player, 3);

    player.startTurn(kTurnRight);
    EXPECT_EQ(player.turnTicks, 20);
    tick(player, 17);

    EXPECT_EQ(player.moveDirection, Direction::PlusZ);
    EXPECT_EQ(player.position, (Vec3{1, 1, 2}));
    EXPECT_EQ(player.facing, Facing::PlusZ);  // three ticks of the turn are still to come
    tick(player, 3);
    EXPECT_EQ(player.facing, Facing::PlusX);
}

}  // namespace
}  // namespace brickstorm
