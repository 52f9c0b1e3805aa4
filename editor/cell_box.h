#pragma once

#include <algorithm>
#include <cstdint>

// Cells, boxes of cells and the sides of a level, as the editor names them.
namespace brickstorm::editor {

// A cell of the level by whole coordinates: x across, y up, z ahead (away from the player's
// start).
struct CellPlace {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;

    friend bool operator==(const CellPlace&, const CellPlace&) = default;
};

// A level's size in cells along each axis.
struct LevelSizes {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;

    friend bool operator==(const LevelSizes&, const LevelSizes&) = default;
};

// The cells from `low` to `high`, both included, on every axis.
struct CellBox {
    CellPlace low;
    CellPlace high;

    friend bool operator==(const CellBox&, const CellBox&) = default;
};

// The box that two cells span, whichever corners they are.
constexpr CellBox boxBetween(CellPlace a, CellPlace b) {
    return {{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
            {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}};
}

constexpr bool boxHolds(const CellBox& box, CellPlace cell) {
    return cell.x >= box.low.x && cell.x <= box.high.x && cell.y >= box.low.y && cell.y <= box.high.y &&
           cell.z >= box.low.z && cell.z <= box.high.z;
}

// The number of cells in a box.
constexpr std::int64_t boxVolume(const CellBox& box) {
    return std::int64_t{box.high.x - box.low.x + 1} * (box.high.y - box.low.y + 1) *
           (box.high.z - box.low.z + 1);
}

// A side of the level, where it can grow or shrink by a slab of cells.
enum class Side : std::uint8_t {
    Left,    // x = 0
    Right,   // the greatest x
    Near,    // z = 0, where the rows end that a map shows at the bottom
    Far,     // the greatest z
    Bottom,  // y = 0
    Top,     // the greatest y
};

// True for the sides at coordinate 0, where a new slab moves every cell up by one.
constexpr bool isLowSide(Side side) {
    return side == Side::Left || side == Side::Near || side == Side::Bottom;
}

}  // namespace brickstorm::editor
