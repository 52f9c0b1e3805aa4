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

void PlayerEntity::resolveShot(std::vector<EnemyEntity>& enemies) {
    if (shotTicks < 1) {
        return;
    }
    // The band reaches every height; an enemy counts by its cell, not by where it is drawn.
    for (EnemyEntity& enemy : enemies) {
        const std::int32_t ex = roundToInt(enemy.position.x);
        const std::int32_t ez = roundToInt(enemy.position.z);
        if (shotMinX <= ex && ex <= shotMaxX && shotMinZ <= ez && ez <= shotMaxZ) {
            enemy.alive = false;
            enemy.deathMessage = kShotDead;
        }
    }
    --shotTicks;
}

}  // namespace brickstorm
