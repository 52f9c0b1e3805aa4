#include "sim/entity.h"

namespace brickstorm {

namespace {

constexpr std::int32_t kDeadlyLanding = 4;  // cells: a landing after this many kills
constexpr std::int32_t kDeadlyFall = 10;    // cells: the start of this cell of one fall kills

}  // namespace

void Entity::applyGravity() {
    // Only what is in the grid bears: outside it every cell reads empty.
    const bool supported = cellAt(cellToward(cell(), Direction::Down)) != kCellEmpty;
    if (supported) {
        if (fallCount >= kDeadlyLanding) {
            fallToDeath();
        }
        fallCount = 0;
        return;
    }
    // A step or climb is finished first: an entity walks fully over the gap, then falls.
    if (climbPhase != 0 || moveTicks != 0) {
        return;
    }
    ++fallCount;
    moveDirection = Direction::Down;
    moveTicks = kFallStepTicks;
    // A fall that never lands (off the grid, below its floor) ends here.
    if (fallCount >= kDeadlyFall) {
        fallToDeath();
    }
}

void Entity::fallToDeath() {
    alive = false;
    deathMessage = kFellToDeath;
}

}  // namespace brickstorm
