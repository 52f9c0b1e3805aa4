#include "sim/entity.h"

#include <utility>

namespace brickstorm {

PlayerEntity::PlayerEntity(Level level) { this->level = std::move(level); }

EnemyEntity::EnemyEntity(Level level) {
    this->level = std::move(level);
    speed = kEnemySpeed;
}

void updateEntity(Entity& entity) {
    entity.updateMove();
    entity.updateTurn();
    entity.applyGravity();
}

}  // namespace brickstorm
