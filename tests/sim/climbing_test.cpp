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

// One column of cells: the player at z = 0 looks along +z at the cell z = 1. `ground` holds
// (z = 1, z = 0) at the player's height and `overhead` the same one layer higher.
PlayerEntity climberBefore(const std::string& ground, const std::string& overhead) {
    const Level level = levelFromLayers({{"b", "b"},
                                         {ground.substr(0, 1), ground.substr(1, 1)},
                                         {overhead.substr(0, 1), overhead.substr(1, 1)}});
    return placedAt<PlayerEntity>(level, {0, 1, 0});
}

struct RefusalCase {
    const char* name;
    std::string ground;
    std::string overhead;
};

class ClimbRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ClimbRefusal, NothingChanges) {
    auto player = climberBefore(GetParam().ground, GetParam().overhead);
    player.startClimb();
    EXPECT_EQ(player.climbPhase, 0);
    EXPECT_EQ(player.moveTicks, 0);
    EXPECT_EQ(player.moveDirection, Direction::PlusZ);
    EXPECT_EQ(player.climbDirection, Direction::PlusZ);
}

INSTANTIATE_TEST_SUITE_P(ClimbCells, ClimbRefusal,
                         ::testing::Values(RefusalCase{"CellAboveThePlayerNotEmpty", "b0", "0b"},
                                           RefusalCase{"CellAboveTheBlockNotEmpty", "b0", "b0"},
                                           RefusalCase{"ExitAboveTheBlock", "b0", "E0"},
                                           RefusalCase{"FrontEmpty", "00", "00"},
                                           RefusalCase{"FrontAnExit", "E0", "00"},
                                           RefusalCase{"FrontAnotherLetter", "x0", "00"}),
                         [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(ClimbTest, RefusedDuringAStepATurnOrAnotherClimb) {
    auto stepping = climberBefore("b0", "00");
    stepping.move(MoveCommand::Back);
    ASSERT_EQ(stepping.moveTicks, 20);
    stepping.startClimb();
    EXPECT_EQ(stepping.climbPhase, 0);
    EXPECT_EQ(stepping.moveDirection, Direction::MinusZ);
    EXPECT_EQ(stepping.moveTicks, 20);

    auto turning = climberBefore("b0", "00");
    turning.startTurn(kTurnLeft);
    turning.startClimb();
    EXPECT_EQ(turning.climbPhase, 0);
    EXPECT_EQ(turning.moveTicks, 0);

    auto climbing = climberBefore("b0", "00");
    climbing.startClimb();
    tick(climbing, 10);
    ASSERT_EQ(climbing.climbPhase, 2);
    climbing.startClimb();
    EXPECT_EQ(climbing.climbPhase, 2);
    EXPECT_EQ(climbing.moveDirection, Direction::Up);
    EXPECT_EQ(climbing.moveTicks, 38);
}

// The approach (8 ticks) stops short of the block, the rise (40) lifts `position` when it ends,
// the finish (12) puts it on the block.
TEST(ClimbTest, FullClimbTakesSixtyTicksInThreePhases) {
    auto player = climberBefore("b0", "00");
    player.startClimb();
    EXPECT_EQ(player.climbPhase, 1);
    EXPECT_EQ(player.moveTicks, 8);

    tick(player, 8);
    EXPECT_EQ(player.climbPhase, 2);
    EXPECT_EQ(player.moveDirection, Direction::Up);
    EXPECT_EQ(player.moveTicks, 40);
    EXPECT_EQ(player.position, (Vec3{0, 1, 0}));
    EXPECT_NEAR(player.displayPosition.z, 0.4, 1e-9);

    tick(player, 40);
    EXPECT_EQ(player.climbPhase, 3);
    EXPECT_EQ(player.moveDirection, Direction::PlusZ);
    EXPECT_EQ(player.moveTicks, 12);
    EXPECT_EQ(player.position, (Vec3{0, 2, 0}));

    tick(player, 11);
    EXPECT_EQ(player.climbPhase, 3);
    EXPECT_EQ(player.fallCount, 0);  // over the empty start cell, yet no fall begins

    tick(player);
    EXPECT_EQ(player.climbPhase, 0);
    EXPECT_EQ(player.moveTicks, 0);
    EXPECT_EQ(player.position, (Vec3{0, 2, 1}));
    EXPECT_EQ(player.displayPosition.z, 1.0);
    EXPECT_NEAR(player.displayPosition.y, 2.0, 1e-9);
    EXPECT_NE(player.displayPosition.y, 2.0);  // forty additions of 0.025, never rounded

    tick(player, 10);
    EXPECT_EQ(player.position, (Vec3{0, 2, 1}));
    EXPECT_TRUE(player.alive);
}

struct ClimbFacingCase {
    Facing facing;
    Vec3 end;
};

class ClimbFacing : public ::testing::TestWithParam<ClimbFacingCase> {};

TEST_P(ClimbFacing, ClimbsOntoTheBlockInFront) {
    const ClimbFacingCase& c = GetParam();
    auto player = placedAt<PlayerEntity>(floorLevel({"0b0", "b0b", "0b0"}), {1, 1, 1}, c.facing);
    player.startClimb();
    tick(player, 60);
    EXPECT_EQ(player.position, c.end);
    EXPECT_EQ(player.climbPhase, 0);
}

INSTANTIATE_TEST_SUITE_P(ClimbEveryFacing, ClimbFacing,
                         ::testing::Values(ClimbFacingCase{Facing::PlusZ, {1, 2, 2}},
                                           ClimbFacingCase{Facing::PlusX, {2, 2, 1}},
                                           ClimbFacingCase{Facing::MinusZ, {1, 2, 0}},
                                           ClimbFacingCase{Facing::MinusX, {0, 2, 1}}));

TEST(ClimbTest, OntoTheTopLayerLeavesThePlayerAboveTheGrid) {
    auto player = placedAt<PlayerEntity>(floorLevel({"b", "0"}), {0, 1, 0});
    player.startClimb();
    ASSERT_EQ(player.climbPhase, 1);
    tick(player, 70);
    EXPECT_EQ(player.position, (Vec3{0, 2, 1}));
    EXPECT_TRUE(player.alive);
}

TEST(ClimbTest, TurnDuringAClimbKeepsTheClimbDirection) {
    auto player = climberBefore("b0", "00");
    player.startClimb();
    tick(player, 9);
    player.startTurn(kTurnRight);
    tick(player, 51);
    EXPECT_EQ(player.facing, Facing::PlusX);
    EXPECT_EQ(player.position, (Vec3{0, 2, 1}));
}

// A shot is fired from the cell the player occupies: the start cell, then the cell above it
// once the rise has ended, then the top of the block.
TEST(ClimbTest, ShotDuringAClimbStartsFromTheCurrentPosition) {
    auto player = placedAt<PlayerEntity>(floorLevel({"0", "0", "b", "0"}), {0, 1, 0});
    player.startClimb();

    PlayerEntity approaching = player;
    approaching.shoot();
    EXPECT_EQ(approaching.shotTicks, 5);
    EXPECT_EQ(approaching.shotMinZ, 0);
    EXPECT_EQ(approaching.shotMaxZ, 0);  // the block stops the band at the player's height

    tick(player, 48);
    PlayerEntity risen = player;
    risen.shoot();
    EXPECT_EQ(risen.shotMinZ, 0);
    EXPECT_EQ(risen.shotMaxZ, 50);

    tick(player, 12);
    player.shoot();
    EXPECT_EQ(player.shotMinZ, 1);
    EXPECT_EQ(player.shotMaxZ, 51);
}

}  // namespace
}  // namespace brickstorm
