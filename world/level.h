#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/vec3.h"

namespace brickstorm {

// The letters that the game's rules give a meaning to.
inline constexpr char kCellEmpty = '0';
inline constexpr char kCellBlock = 'b';
inline constexpr char kCellExit = 'E';
inline constexpr char kCellPlayerStart = 'p';
inline constexpr char kCellEnemyStart = 'e';

// The most cells a level loaded from a file may have: enough for large levels, small enough
// that the game's memory stays bounded for any file it accepts.
inline constexpr std::int64_t kMaxLevelCells = std::int64_t{256} * 64 * 256;

// One layer is a list of rows along z; one row holds sizeX letters along x.
using LevelRow = std::string;
using LevelLayer = std::vector<LevelRow>;
using LevelCells = std::vector<LevelLayer>;  // indexed cells[y][z][x]

// A parsed level: a box of cells with the player's and the enemies' start cells.
// A plain value: copies own their cells outright.
class Level {
public:
    // The invalid level: sizes -1, no cells, player start at the origin.
    Level() = default;

    // Parses a level string: a nine-digit header of three sizes, then one letter per cell.
    // Never fails outward: anything that breaks the format gives the invalid level.
    explicit Level(std::string text);

    Level(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ, LevelCells cells, Vec3 playerStart,
          std::vector<Vec3> enemyStarts);

    // The letter of cell (x, y, z); '0' for any cell outside the grid, above and below included.
    char cellAt(std::int32_t x, std::int32_t y, std::int32_t z) const;

    friend bool operator==(const Level&, const Level&) = default;

    std::int32_t sizeX = -1;
    std::int32_t sizeY = -1;
    std::int32_t sizeZ = -1;
    Vec3 playerStart;
    std::vector<Vec3> enemyStarts;
    LevelCells cells;
};

}  // namespace brickstorm
