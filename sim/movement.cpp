#include "sim/entity.h"

namespace brickstorm {
// PLACEHOLDER
void Entity::move(MoveCommand) {}
void PlayerEntity::move(MoveCommand) {}
void Entity::startStep(MoveCommand, bool) {}
void Entity::updateMove() {}
void Entity::startTurn(std::uint8_t) {}
void Entity::updateTurn() {}
void Entity::applyGravity() {}
bool Entity::canStep(Facing) const { return false; }
void PlayerEntity::startClimb() {}
void PlayerEntity::shoot() {}
void PlayerEntity::resolveShot(std::vector<EnemyEntity>&) {}
void EnemyEntity::think(Vec3) {}
FaceList EnemyEntity::buildModel() const { return {}; }
bool touchesPlayer(const EnemyEntity&, const PlayerEntity&) { return false; }
}  // namespace brickstorm
