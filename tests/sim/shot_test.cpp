#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "sim/entity.h"
#include "tests/sim/sim_fixtures.h"

namespace brickstorm {
namespace {

using test::floorLevel;
using test::placedAt;

struct Band {
    std::int32_t minX;
    std::int32_t minZ;
    std::int32_t maxX;
    std::int32_t maxZ;

    friend bool operator==(const Band&, const Band&) = default;
};

Band bandOf(const PlayerEntity& player) {
    return {player.shotMinX, player.shotMinZ, player.shotMaxX, player.shotMaxZ};
}

void PrintTo(const Band& band, std::ostream* out) {
    *out << "x " << band.minX << ".." << band.maxX << ", z " << band.minZ << ".." << band.maxZ;
}

struct BandCase {
    const char* name;
    std::vector<std::string> ground;  // the layer at the player's height over a solid floor
    Facing facing;
    Band expected;
};

class ShotBand : public ::testing::TestWithParam<BandCase> {};

// The player stands at (2, 1, 2).
TEST_P(ShotBand, ReachesFiftyCellsOrStopsBeforeTheFirstBlock) {
    const BandCase& c = GetParam();
    auto player = placedAt<PlayerEntity>(floorLevel(c.ground), {2, 1, 2}, c.facing);
    player.shoot();
    EXPECT_EQ(bandOf(player), c.expected);
    EXPECT_EQ(player.shotTicks, 5);
}

const std::vector<std::string> kOpen = {"00000", "00000", "00000", "00000", "00000"};
const std::vector<std::string> kWalledIn = {"00000", "00b00", "0b0b0", "00b00", "00000"};
const std::vector<std::string> kWallsTwoAway = {"00b00", "00000", "b000b", "00000", "00b00"};

INSTANTIATE_TEST_SUITE_P(
    ShotBands, ShotBand,
    ::testing::Values(BandCase{"OpenPlusZ", kOpen, Facing::PlusZ, {2, 2, 2, 52}},
                      BandCase{"OpenPlusX", kOpen, Facing::PlusX, {2, 2, 52, 2}},
                      BandCase{"OpenMinusZ", kOpen, Facing::MinusZ, {2, -48, 2, 2}},
                      BandCase{"OpenMinusX", kOpen, Facing::MinusX, {-48, 2, 2, 2}},
                      BandCase{"BlockInFrontPlusZ", kWalledIn, Facing::PlusZ, {2, 2, 2, 2}},
                      BandCase{"BlockInFrontPlusX", kWalledIn, Facing::PlusX, {2, 2, 2, 2}},
                      BandCase{"BlockInFrontMinusZ", kWalledIn, Facing::MinusZ, {2, 2, 2, 2}},
                      BandCase{"BlockInFrontMinusX", kWalledIn, Facing::MinusX, {2, 2, 2, 2}},
                      BandCase{"BlockTwoAwayPlusZ", kWallsTwoAway, Facing::PlusZ, {2, 2, 2, 3}},
                      BandCase{"BlockTwoAwayMinusX", kWallsTwoAway, Facing::MinusX, {1, 2, 2, 2}}),
    [](const ::testing::TestParamInfo<BandCase>& info) { return info.param.name; });

// The player at (0, 1, 0) shoots along +z down a band of five cells.
class ShotResolve : public ::testing::Test {
protected:
    PlayerEntity player = placedAt<PlayerEntity>(floorLevel({"b0", "00", "00", "00", "00", "00"}), {0, 1, 0});

    EnemyEntity enemyAt(Vec3 cell) { return placedAt<EnemyEntity>(player.level, cell); }
};

TEST_F(ShotResolve, KillsEveryEnemyInTheBandAtAnyHeight) {
    std::vector<EnemyEntity> enemies = {enemyAt({0, 1, 2}), enemyAt({0, 3, 3}), enemyAt({1, 1, 3}),
                                        enemyAt({0, 0, 4}), enemyAt({0, 1, 5})};
    player.shoot();
    player.resolveShot(enemies);

    EXPECT_FALSE(enemies[0].alive);
    EXPECT_FALSE(enemies[1].alive);  // a floor above
    EXPECT_TRUE(enemies[2].alive);   // beside the band
    EXPECT_FALSE(enemies[3].alive);  // a floor below
    EXPECT_TRUE(enemies[4].alive);   // behind the block
    EXPECT_EQ(enemies[0].deathMessage, "You were shot.");
    EXPECT_EQ(player.shotTicks, 4);
}

TEST_F(ShotResolve, SecondShotWithinFiveTicksDoesNothing) {
    std::vector<EnemyEntity> enemies;
    player.shoot();
    player.resolveShot(enemies);
    player.facing = Facing::PlusX;
    player.shoot();
    EXPECT_EQ(bandOf(player), (Band{0, 0, 0, 4}));
    EXPECT_EQ(player.shotTicks, 4);

    for (int i = 0; i < 4; ++i) {
        player.resolveShot(enemies);
    }
    EXPECT_EQ(player.shotTicks, 0);
    player.shoot();
    EXPECT_EQ(bandOf(player), (Band{0, 0, 50, 0}));
}

TEST_F(ShotResolve, RefusedDuringATurn) {
    player.startTurn(kTurnLeft);
    player.shoot();
    EXPECT_EQ(player.shotTicks, 0);
}

// The band is fixed when fired; an enemy counts by its `position`, which moves when its step
// ends, not by where it is drawn.
TEST_F(ShotResolve, EnemyEnteringTheBandWhileTheShotLastsDies) {
    std::vector<EnemyEntity> enemies = {enemyAt({1, 1, 2}), enemyAt({1, 1, 3}), enemyAt({0, 1, 4})};
    enemies[1].displayPosition.x = 0.4;  // drawn halfway into the band
    enemies[2].displayPosition.x = 0.6;  // drawn halfway out of it
    player.shoot();
    player.resolveShot(enemies);
    player.resolveShot(enemies);
    EXPECT_TRUE(enemies[0].alive);
    EXPECT_TRUE(enemies[1].alive);
    EXPECT_FALSE(enemies[2].alive);

    enemies[0].position.x = 0.0;
    player.resolveShot(enemies);
    EXPECT_FALSE(enemies[0].alive);
}

TEST_F(ShotResolve, EnemyEnteringAfterTheFifthTickLives) {
    std::vector<EnemyEntity> enemies = {enemyAt({1, 1, 2})};
    player.shoot();
    for (int i = 0; i < 5; ++i) {
        player.resolveShot(enemies);
    }
    enemies[0].position.x = 0.0;
    player.resolveShot(enemies);
    EXPECT_TRUE(enemies[0].alive);
}

}  // namespace
}  // namespace brickstorm
