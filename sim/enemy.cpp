#include <array>
#include <cmath>

#include "sim/entity.h"
#include "world/grid_math.h"

namespace brickstorm {

namespace {

constexpr double kReachSquared = 100.0;  // an enemy farther than 10 cells from the player idles
// Radians become degrees with 3.14 rather than pi. The bearing grows by 0.05 %; for whole-cell
// offsets within reach no bearing crosses a boundary of the facing table because of it.
constexpr double kBearingPi = 3.14;
constexpr double kHalfTurnDegrees = 180.0;

struct FacingChoice {
    std::int32_t upToBearing;  // the choice holds for bearings up to this one
    Facing first;
    Facing second;
};

// The headings that lead back along the bearing of the enemy seen from the player, that is
// toward the player. Exact diagonals are not symmetric: 45 and -135 prefer the x axis, -45 and
// 135 the z axis.
constexpr std::array<FacingChoice, 13> kFacingChoices{{
    {-180, Facing::PlusX, Facing::PlusX},
    {-135, Facing::PlusX, Facing::PlusZ},
    {-91, Facing::PlusZ, Facing::PlusX},
    {-90, Facing::PlusZ, Facing::PlusZ},
    {-45, Facing::PlusZ, Facing::MinusX},
    {-1, Facing::MinusX, Facing::PlusZ},
    {0, Facing::MinusX, Facing::MinusX},
    {45, Facing::MinusX, Facing::MinusZ},
    {89, Facing::MinusZ, Facing::MinusX},
    {90, Facing::MinusZ, Facing::MinusZ},
    {135, Facing::MinusZ, Facing::PlusX},
    {179, Facing::PlusX, Facing::MinusZ},
    {180, Facing::PlusX, Facing::PlusX},
}};

const FacingChoice& choiceFor(std::int32_t bearing) {
    for (const FacingChoice& choice : kFacingChoices) {
        if (bearing <= choice.upToBearing) {
            return choice;
        }
    }
    return kFacingChoices.back();
}

// Whole degrees from -180 to 180 of the enemy as seen from the player.
std::int32_t bearingOf(double dx, double dz) {
    return roundToInt(std::atan2(dz, dx) / kBearingPi * kHalfTurnDegrees);
}

// A half turn goes left, like a quarter turn to the left.
std::uint8_t turnToward(Facing from, Facing to) {
    const int diff = static_cast<int>(to) - static_cast<int>(from);
    return diff == 1 || diff == -3 ? kTurnRight : kTurnLeft;
}

}  // namespace

void EnemyEntity::think(Vec3 playerPosition) {
    if (moveTicks > 0 || turnTicks > 0) {
        return;
    }
    const double dx = position.x - playerPosition.x;
    const double dy = position.y - playerPosition.y;
    const double dz = position.z - playerPosition.z;
    if (dx * dx + dy * dy + dz * dz > kReachSquared) {
        return;
    }
    const FacingChoice& choice = choiceFor(bearingOf(dx, dz));
    Facing target = choice.first;
    if (!canStep(target)) {
        if (!canStep(choice.second)) {
            return;
        }
        target = choice.second;
    }
    if (target == facing) {
        move(MoveCommand::Forward);
    } else {
        startTurn(turnToward(facing, target));
    }
}

bool Entity::canStep(Facing direction) const {
    const GridCell ahead = cellToward(cell(), forwardOf(direction));
    return cellAt(ahead) == kCellEmpty && cellAt(cellToward(ahead, Direction::Down)) == kCellBlock;
}

}  // namespace brickstorm
