#include <gtest/gtest.h>

#include "sim/entity.h"
#include "tests/sim/sim_fixtures.h"

namespace brickstorm {
namespace {

using test::floorLevel;
using test::placedAt;
using test::tick;

struct ContactCase {
    const char* name;
    Vec3 enemyDrawn;
    Vec3 player;
    bool touches;
};

class EnemyContact : public ::testing::TestWithParam<ContactCase> {};

TEST_P(EnemyContact, RoundedDrawnPositionMeetsThePlayersCell) {
    const ContactCase& c = GetParam();
    const auto enemy = placedAt<EnemyEntity>(Level(), c.enemyDrawn);
    const auto player = placedAt<PlayerEntity>(Level(), c.player);
    EXPECT_EQ(touchesPlayer(enemy, player), c.touches);
}

INSTANTIATE_TEST_SUITE_P(
    EnemyContactCells, EnemyContact,
    ::testing::Values(ContactCase{"SameCell", {4, 1, 4}, {4, 1, 4}, true},
                      ContactCase{"HalfwayRoundsAwayFromZero", {4, 1, 3.5}, {4, 1, 4}, true},
                      ContactCase{"NegativeHalfRoundsAwayFromZero", {-1.5, 1, 0}, {-2, 1, 0}, true},
                      ContactCase{"JustShortOfHalfway", {4, 1, 3.49}, {4, 1, 4}, false},
                      ContactCase{"OneFloorUp", {4, 2, 4}, {4, 1, 4}, false}),
    [](const ::testing::TestParamInfo<ContactCase>& info) { return info.param.name; });

// Thirty additions of -0.033 from z = 1: after 15 the drawn z is 0.50499..., after 16 it is
// 0.47199..., the first to round onto the player's cell.
TEST(EnemyContactStep, SteppingEnemyTouchesOnTheSixteenthTickOfItsStep) {
    const Level level = floorLevel({"0", "0"});
    auto enemy = placedAt<EnemyEntity>(level, {0, 1, 1}, Facing::MinusZ);
    const auto player = placedAt<PlayerEntity>(level, {0, 1, 0});
    enemy.move(MoveCommand::Forward);

    tick(enemy, 15);
    EXPECT_FALSE(touchesPlayer(enemy, player));
    tick(enemy);
    EXPECT_NEAR(enemy.displayPosition.z, 0.472, 1e-9);
    EXPECT_TRUE(touchesPlayer(enemy, player));
}

}  // namespace
}  // namespace brickstorm
