#include "sim/entity.h"

#include <gtest/gtest.h>

namespace brickstorm {
namespace {

void expectEntityDefaults(const Entity& entity) {
    EXPECT_EQ(entity.position, Vec3{});
    EXPECT_EQ(entity.facing, Facing::PlusZ);
    EXPECT_EQ(entity.displayPosition, Vec3{});
    EXPECT_EQ(entity.yaw, 0.0);
    EXPECT_TRUE(entity.alive);
    EXPECT_EQ(entity.deathMessage, "");
    EXPECT_EQ(entity.moveTicks, 0);
    EXPECT_EQ(entity.turnTicks, 0);
    EXPECT_EQ(entity.moveDirection, Direction::PlusZ);
    EXPECT_EQ(entity.turnDirection, 0);
    EXPECT_EQ(entity.turnSpeed, 4.5);
    EXPECT_EQ(entity.climbSpeed, 0.025);
    EXPECT_EQ(entity.climbDirection, Direction::PlusZ);
    EXPECT_EQ(entity.climbPhase, 0);
    EXPECT_EQ(entity.fallCount, 0);
}

TEST(EntityConstructionTest, PlayerAndEnemyStartAtRest) {
    const Level level("001001001b");

    const PlayerEntity player(level);
    expectEntityDefaults(player);
    EXPECT_EQ(player.speed, 0.05);
    EXPECT_EQ(player.shotTicks, 0);
    EXPECT_EQ(player.level, level);

    const EnemyEntity enemy(level);
    expectEntityDefaults(enemy);
    EXPECT_EQ(enemy.speed, 0.033);
    EXPECT_EQ(enemy.level, level);

    const PlayerEntity before;
    expectEntityDefaults(before);
    EXPECT_EQ(before.level.sizeX(), -1);
    EXPECT_EQ(before.shotTicks, 0);
}

TEST(EntityConstructionTest, CopiesCarryTheirOwnLevel) {
    EnemyEntity original(Level("001001001b"));
    EnemyEntity copy = original;
    copy.level.setCell(0, 0, 0, kCellEmpty);
    EXPECT_EQ(original.level.cellAt(0, 0, 0), kCellBlock);
}

TEST(EntityConstructionTest, AFreshPlayerReplacesEverything) {
    const Level level("001001001b");
    PlayerEntity player(level);
    player.alive = false;
    player.deathMessage = "You were killed.";
    player.moveTicks = 7;
    player.turnTicks = 3;
    player.climbPhase = 2;
    player.shotTicks = 4;
    player.yaw = 123.0;
    player.facing = Facing::MinusX;

    player = PlayerEntity(level);
    expectEntityDefaults(player);
    EXPECT_EQ(player.shotTicks, 0);
}

}  // namespace
}  // namespace brickstorm
