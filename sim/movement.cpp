#include <array>
#include <cmath>
#include <cstddef>

#include "sim/entity.h"
#include "world/grid_math.h"

namespace brickstorm {

namespace {

constexpr double kStepLength = 1.0;  // every step, of any kind, moves `position` by one cell

// The world direction of each command, by facing: rows by Facing, columns by MoveCommand.
constexpr std::array<std::array<Direction, 4>, 4> kStepDirections{{
    {Direction::PlusZ, Direction::MinusZ, Direction::MinusX, Direction::PlusX},
    {Direction::PlusX, Direction::MinusX, Direction::PlusZ, Direction::MinusZ},
    {Direction::MinusZ, Direction::PlusZ, Direction::PlusX, Direction::MinusX},
    {Direction::MinusX, Direction::PlusX, Direction::MinusZ, Direction::PlusZ},
}};

bool isMoveCommand(MoveCommand command) { return command <= MoveCommand::Right; }

Direction stepDirection(Facing facing, MoveCommand command) {
    return kStepDirections[static_cast<std::size_t>(facing)][static_cast<std::size_t>(command)];
}

}  // namespace

Direction Entity::forwardOf(Facing facing) { return stepDirection(facing, MoveCommand::Forward); }

std::int32_t Entity::ticksFor(double length, double rate) { return roundToInt(length / rate); }

void Entity::move(MoveCommand command) { startStep(command, false); }

void PlayerEntity::move(MoveCommand command) { startStep(command, true); }

void Entity::startStep(MoveCommand command, bool exitIsFree) {
    if (moveTicks > 0 || turnTicks > 0) {
        return;
    }
    // A command without meaning starts nothing; following the last direction instead could
    // send the entity down after a fall.
    if (!isMoveCommand(command)) {
        return;
    }
    moveDirection = stepDirection(facing, command);
    const char target = cellAt(cellToward(cell(), moveDirection));
    if (target == kCellEmpty || (exitIsFree && target == kCellExit)) {
        moveTicks = ticksFor(kStepLength, speed);
    }
}

void Entity::updateMove() {
    if (moveTicks <= 0) {
        return;
    }
    glide();
    --moveTicks;
    if (moveTicks > 0) {
        return;
    }
    if (stepEndsOnNewCell()) {
        snap();
    }
    advanceClimb();
}

void Entity::glide() {
    double rate = speed;
    if (moveDirection == Direction::Up) {
        rate = climbSpeed;
    } else if (moveDirection == Direction::Down) {
        rate = kFallSpeed;
    }
    // Added tick by tick, never recomputed from the step's start: the accumulated value is what
    // rounds onto a cell in the exit and contact tests.
    coordinateAlong(displayPosition, moveDirection) += senseOf(moveDirection) * rate;
}

void Entity::snap() {
    double& drawn = coordinateAlong(displayPosition, moveDirection);
    drawn = std::round(drawn);
    coordinateAlong(position, moveDirection) += senseOf(moveDirection) * kStepLength;
}

}  // namespace brickstorm
