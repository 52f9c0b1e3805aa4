#include <vector>

#include "sim/entity.h"
#include "world/grid_math.h"

namespace brickstorm {

namespace {

constexpr std::int32_t kShotLength = 50;  // cells beyond the player's own

}  // namespace

void PlayerEntity::shoot() {
    if (shotTicks > 0 || turnTicks > 0) {
        return;
    }
    const GridCell here = cell();
    const Direction forward = forwardOf(facing);
    // The cells beyond the player's own that the band covers: up to the first block, which may
    // be the player's own cell (-1, an empty band).
    std::int32_t reach = kShotLength;
    for (std::int32_t i = 0; i <= kShotLength; ++i) {
        if (cellAt(cellToward(here, forward, i)) == kCellBlock) {
            reach = i - 1;
            break;
        }
    }
    const GridCell far = cellToward(here, forward, reach);
    const bool increasing = senseOf(forward) > 0.0;
    const GridCell& low = increasing ? here : far;
    const GridCell& high = increasing ? far : here;
    shotMinX = low.x;
    shotMinZ = low.z;
    shotMaxX = high.x;
    shotMaxZ = high.z;
    shotTicks = kShotTicks;
}

bool PlayerEntity::shotCovers(const Entity& target) const {
    if (shotTicks < 1) {
        return false;
    }
    // The band reaches every height; a target counts by its cell, not by where it is drawn.
    const std::int32_t tx = roundToInt(target.position.x);
    const std::int32_t tz = roundToInt(target.position.z);
    return shotMinX <= tx && tx <= shotMaxX && shotMinZ <= tz && tz <= shotMaxZ;
}

void PlayerEntity::resolveShot(std::vector<EnemyEntity>& enemies) {
    if (shotTicks < 1) {
        return;
    }
    for (EnemyEntity& enemy : enemies) {
        if (shotCovers(enemy)) {
            enemy.alive = false;
            enemy.deathMessage = kShotDead;
        }
    }
    --shotTicks;
}

}  // namespace brickstorm
