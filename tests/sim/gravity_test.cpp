#include <gtest/gtest.h>

#include <string>

#include "sim/entity.h"
#include "tests/sim/sim_fixtures.h"

namespace brickstorm {
namespace {

using test::floorLevel;
using test::levelFromLayers;
using test::placedAt;
using test::tick;

struct DropCase {
    int cells;
    bool survives;
};

class GravityDrop : public ::testing::TestWithParam<DropCase> {};

// An entity left in the air `cells` above the ground starts its fall on the first tick; each
// cell takes 5 ticks, and the landing is judged in the tick of the last snap.
TEST_P(GravityDrop, LandingAfterFourOrMoreCellsKills) {
    const DropCase& c = GetParam();
    const double start = 1.0 + c.cells;
    auto player = placedAt<PlayerEntity>(floorLevel({"0"}), {0, start, 0});

    tick(player, 5 * c.cells);
    EXPECT_TRUE(player.alive);
    EXPECT_EQ(player.fallCount, c.cells);

    tick(player);
    EXPECT_EQ(player.position.y, 1.0);
    EXPECT_EQ(player.displayPosition.y, 1.0);
    EXPECT_EQ(player.fallCount, 0);
    EXPECT_EQ(player.moveTicks, 0);
    EXPECT_EQ(player.alive, c.survives);
    EXPECT_EQ(player.deathMessage, c.survives ? "" : "You fell to your death.");
}

INSTANTIATE_TEST_SUITE_P(GravityDrops, GravityDrop,
                         ::testing::Values(DropCase{1, true}, DropCase{2, true}, DropCase{3, true},
                                           DropCase{4, false}, DropCase{6, false}));

// Stepping off the edge: the step ends on its 20th tick and in that same tick the entity has no
// support and starts its first fall step. Counting that tick as the first, the tenth fall step
// starts on the 46th, 65 ticks after the step began.
TEST(GravityTest, WalkingOffTheGridKillsWhenTheTenthFallStepStarts) {
    auto player = placedAt<PlayerEntity>(floorLevel({"00"}), {0, 1, 0}, Facing::MinusX);
    player.move(MoveCommand::Forward);

    tick(player, 19);
    EXPECT_EQ(player.fallCount, 0);
    tick(player);
    EXPECT_EQ(player.fallCount, 1);
    EXPECT_EQ(player.moveDirection, Direction::Down);

    tick(player, 44);
    EXPECT_TRUE(player.alive);
    EXPECT_EQ(player.fallCount, 9);

    tick(player);
    EXPECT_FALSE(player.alive);
    EXPECT_EQ(player.fallCount, 10);
    EXPECT_EQ(player.deathMessage, "You fell to your death.");
}

TEST(GravityTest, EntityInALevelWithoutCellsDiesOnItsFortySixthTick) {
    auto enemy = placedAt<EnemyEntity>(Level(), {0, 0, 0});
    tick(enemy, 45);
    EXPECT_TRUE(enemy.alive);
    tick(enemy);
    EXPECT_FALSE(enemy.alive);
    EXPECT_EQ(enemy.deathMessage, "You fell to your death.");
}

TEST(GravityTest, ExitBelowSupports) {
    auto player = placedAt<PlayerEntity>(levelFromLayers({{"E"}}), {0, 1, 0});
    tick(player, 10);
    EXPECT_EQ(player.position.y, 1.0);
    EXPECT_EQ(player.moveTicks, 0);
    EXPECT_EQ(player.fallCount, 0);
}

TEST(GravityTest, OtherLettersSupportToo) {
    auto player = placedAt<PlayerEntity>(levelFromLayers({{"x"}}), {0, 1, 0});
    tick(player, 10);
    EXPECT_EQ(player.position.y, 1.0);
}

// The support test is made at `position`, which a step changes only at its end.
TEST(GravityTest, NoFallStartsDuringAStep) {
    auto player = placedAt<PlayerEntity>(Level(), {0, 5, 0});
    player.move(MoveCommand::Forward);

    tick(player, 19);
    EXPECT_EQ(player.position.y, 5.0);
    EXPECT_EQ(player.fallCount, 0);
    EXPECT_EQ(player.moveDirection, Direction::PlusZ);

    tick(player);
    EXPECT_EQ(player.position, (Vec3{0, 5, 1}));
    EXPECT_EQ(player.fallCount, 1);
    EXPECT_EQ(player.moveDirection, Direction::Down);
}

}  // namespace
}  // namespace brickstorm
