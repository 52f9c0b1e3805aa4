#include <cmath>

#include "sim/entity.h"

namespace brickstorm {

namespace {

constexpr double kFullTurn = 360.0;
constexpr int kFacingCount = 4;

Facing turned(Facing facing, std::uint8_t direction) {
    const int step = direction == kTurnRight ? 1 : -1;
    return static_cast<Facing>((static_cast<int>(facing) + step + kFacingCount) % kFacingCount);
}

}  // namespace

void Entity::startTurn(std::uint8_t direction) {
    if (turnTicks > 0) {
        return;
    }
    // Any other value would count down a turn that turns nothing.
    if (direction != kTurnLeft && direction != kTurnRight) {
        return;
    }
    turnDirection = direction;
    turnTicks = kTurnTicks;
}

void Entity::updateTurn() {
    if (turnTicks <= 0) {
        return;
    }
    yaw += turnDirection == kTurnRight ? turnSpeed : -turnSpeed;
    --turnTicks;
    // The wrap looks at the rounded yaw so that a turn ending on 360 lands on 0.
    if (std::round(yaw) < 0.0) {
        yaw += kFullTurn;
    } else if (std::round(yaw) >= kFullTurn) {
        yaw -= kFullTurn;
    }
    if (turnTicks == 0) {
        yaw = std::round(yaw);
        facing = turned(facing, turnDirection);
    }
}

}  // namespace brickstorm
