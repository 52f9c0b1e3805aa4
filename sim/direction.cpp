#include <array>
#include <cstddef>

#include "sim/entity.h"
#include "world/grid_math.h"

namespace brickstorm {

namespace {

// A world direction as an axis and a sense, for drawn positions and for cells alike.
struct DirectionAxis {
    double Vec3::*drawn;
    std::int32_t GridCell::*cell;
    std::int32_t sense;
};

// Indexed by Direction: +z, -z, +x, -x, up, down.
constexpr std::array<DirectionAxis, 6> kDirectionAxes{{
    {&Vec3::z, &GridCell::z, 1},
    {&Vec3::z, &GridCell::z, -1},
    {&Vec3::x, &GridCell::x, 1},
    {&Vec3::x, &GridCell::x, -1},
    {&Vec3::y, &GridCell::y, 1},
    {&Vec3::y, &GridCell::y, -1},
}};

const DirectionAxis& axisOf(Direction direction) {
    return kDirectionAxes[static_cast<std::size_t>(direction)];
}

}  // namespace

double& Entity::coordinateAlong(Vec3& point, Direction direction) { return point.*axisOf(direction).drawn; }

double Entity::senseOf(Direction direction) { return axisOf(direction).sense; }

GridCell Entity::cellToward(GridCell from, Direction direction, std::int32_t count) {
    const DirectionAxis& axis = axisOf(direction);
    from.*axis.cell += axis.sense * count;
    return from;
}

GridCell Entity::cell() const {
    return {cellCoordinate(position.x), cellCoordinate(position.y), cellCoordinate(position.z)};
}

char Entity::cellAt(GridCell cell) const { return level.cellAt(cell.x, cell.y, cell.z); }

}  // namespace brickstorm
