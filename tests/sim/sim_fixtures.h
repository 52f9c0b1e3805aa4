#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "sim/entity.h"
#include "world/level.h"

namespace brickstorm::test {

inline std::string threeDigits(std::size_t size) {
    const std::string digits = std::to_string(size);
    return std::string(3 - digits.size(), '0') + digits;
}

// A level from its layers, bottom up. Each layer lists its rows from the highest z down to
// z = 0, as they stand in a level string, so that a layer reads like a map with +z up and +x to
// the right.
inline Level levelFromLayers(const std::vector<std::vector<std::string>>& layers) {
    const std::size_t sizeY = layers.size();
    const std::size_t sizeZ = layers.front().size();
    const std::size_t sizeX = layers.front().front().size();
    std::string text = threeDigits(sizeX) + threeDigits(sizeY) + threeDigits(sizeZ);
    for (const auto& layer : layers) {
        for (const std::string& row : layer) {
            text += row;
        }
    }
    return Level(text);
}

// A solid floor at y = 0 under the given layer at y = 1 (rows from the highest z down).
inline Level floorLevel(const std::vector<std::string>& groundLayer) {
    const std::string solidRow(groundLayer.front().size(), 'b');
    const std::vector<std::string> floor(groundLayer.size(), solidRow);
    return levelFromLayers({floor, groundLayer});
}

// An entity of the level standing at rest on `cell`.
template <typename EntityType>
EntityType placedAt(Level level, Vec3 cell, Facing facing = Facing::PlusZ) {
    EntityType entity(std::move(level));
    entity.position = cell;
    entity.displayPosition = cell;
    entity.facing = facing;
    entity.yaw = 90.0 * static_cast<double>(facing);
    return entity;
}

// One game tick of a single entity, as the game runs it.
inline void tick(Entity& entity) { updateEntity(entity); }

inline void tick(Entity& entity, int count) {
    for (int i = 0; i < count; ++i) {
        tick(entity);
    }
}

// One game tick of an enemy: its decision first, against the player's cell.
inline void tickEnemy(EnemyEntity& enemy, Vec3 playerPosition) {
    enemy.think(playerPosition);
    tick(enemy);
}

}  // namespace brickstorm::test
