#include <cmath>

#include "sim/entity.h"

namespace brickstorm {

// The enemy kills from the tick in which its drawn position rounds into the player's cell,
// about halfway through its step; the player's own drawn position plays no part.
bool touchesPlayer(const EnemyEntity& enemy, const PlayerEntity& player) {
    const Vec3& drawn = enemy.displayPosition;
    return std::round(drawn.x) == player.position.x && std::round(drawn.y) == player.position.y &&
           std::round(drawn.z) == player.position.z;
}

}  // namespace brickstorm
