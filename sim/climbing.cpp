#include "sim/entity.h"

namespace brickstorm {

namespace {

// The climb is three steps: toward the block, up beside it, then onto it.
constexpr std::int8_t kNotClimbing = 0;
constexpr std::int8_t kClimbApproach = 1;
constexpr std::int8_t kClimbRise = 2;
constexpr std::int8_t kClimbFinish = 3;

constexpr double kApproachLength = 0.4;  // cells toward the block before rising
constexpr double kRiseLength = 1.0;
constexpr double kFinishLength = 0.6;  // the rest of the cell, onto the block

}  // namespace

void PlayerEntity::startClimb() {
    if (moveTicks > 0 || turnTicks > 0 || climbPhase > kNotClimbing) {
        return;
    }
    const GridCell here = cell();
    const Direction forward = forwardOf(facing);
    const GridCell front = cellToward(here, forward);
    const bool headroom = cellAt(cellToward(here, Direction::Up)) == kCellEmpty &&
                          cellAt(cellToward(front, Direction::Up)) == kCellEmpty;
    if (!headroom || cellAt(front) != kCellBlock) {
        return;
    }
    // The step counter goes last: it is what sets the climb going.
    climbDirection = forward;
    climbPhase = kClimbApproach;
    moveDirection = forward;
    moveTicks = ticksFor(kApproachLength, speed);
}

bool Entity::stepEndsOnNewCell() const {
    // The approach and the rise leave `position` where it is: the approach stops short of the
    // block, and the rise moves the cell up by itself when it ends.
    return climbPhase == kNotClimbing || climbPhase == kClimbFinish;
}

void Entity::advanceClimb() {
    switch (climbPhase) {
    case kClimbApproach:
        moveDirection = Direction::Up;
        moveTicks = ticksFor(kRiseLength, climbSpeed);
        climbPhase = kClimbRise;
        break;
    case kClimbRise:
        moveDirection = climbDirection;
        moveTicks = ticksFor(kFinishLength, speed);
        position.y += kRiseLength;
        climbPhase = kClimbFinish;
        break;
    case kClimbFinish: climbPhase = kNotClimbing; break;
    default: break;
    }
}

}  // namespace brickstorm
