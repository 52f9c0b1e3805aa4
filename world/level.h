#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
// that the game's memory stays bounded for any file it accepts. A level's faces cost two bytes
// each while it runs, so at this size the worst level (every cell an exit, fourteen faces each)
// holds about 235 MiB of faces, a level of blocks (at most three faces a cell) about 50 MiB;
// with a restart's old faces still in a frame and every level's text kept, the game stays
// well under 1 GiB.
inline constexpr std::int64_t kMaxLevelCells = std::int64_t{256} * 128 * 256;

// One layer is a list of rows along z; one row holds sizeX letters along x.
using LevelRow = std::string;
using LevelLayer = std::vector<LevelRow>;
using LevelCells = std::vector<LevelLayer>;  // indexed cells[y][z][x]

// A parsed level: a box of cells with the player's and the enemies' start cells.
// A plain value. The cells and the enemies' starts never change once a level is built, so every
// copy shares them: an entity's own copy of its level costs two pointers, not the level's size
// (nor, with one copy per enemy, the square of the number of enemies).
class Level {
public:
    // The invalid level: sizes -1, no cells, player start at the origin.
    Level() = default;

    // Parses a level string: a nine-digit header of three sizes, then one letter per cell.
    // Never fails outward: anything that breaks the format gives the invalid level.
    explicit Level(std::string text);

    // A level of the given sizes; cells missing from `cells` are empty.
    Level(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ, const LevelCells& cells,
          Vec3 playerStart, std::vector<Vec3> enemyStarts);

    // The letter of cell (x, y, z); '0' for any cell outside the grid, above and below included.
    char cellAt(std::int32_t x, std::int32_t y, std::int32_t z) const {
        if (x < 0 || y < 0 || z < 0 || x >= sizeX_ || y >= sizeY_ || z >= sizeZ_) {
            return kCellEmpty;
        }
        return (*cells_)[flatIndex(sizeX_, sizeZ_, x, y, z)];
    }

    // The grid's sizes along x, y and z: -1 each for the invalid level. Read-only, because the
    // bounds check of cellAt and setCell trusts them to match the cells.
    std::int32_t sizeX() const { return sizeX_; }
    std::int32_t sizeY() const { return sizeY_; }
    std::int32_t sizeZ() const { return sizeZ_; }

    // Changes one cell of this level only: its cells are copied first, so other copies keep
    // theirs. For building levels by hand; cells outside the grid are left alone.
    void setCell(std::int32_t x, std::int32_t y, std::int32_t z, char letter);

    // The number of cells in the grid: 0 for the invalid level.
    std::size_t cellCount() const { return cells_ ? cells_->size() : 0; }

    // True when both levels read the very same block of cells, as copies of one level do.
    bool sharesCellsWith(const Level& other) const { return cells_ != nullptr && cells_ == other.cells_; }

    // The enemies' start cells, in level string order.
    const std::vector<Vec3>& enemyStarts() const;

    // The same sizes, starts and cells, whether or not the cells are shared.
    friend bool operator==(const Level& a, const Level& b);

    // Where the player starts. A plain field: nothing else in the level depends on it, and a
    // start outside the grid or inside a block only puts the player there.
    Vec3 playerStart;

private:
    Level(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ, std::string cells, Vec3 playerStart,
          std::vector<Vec3> enemyStarts);

    // Where cell (x, y, z), inside a grid of the given sizes, lies in its flat cells: layer, then
    // row, then x.
    static std::size_t flatIndex(std::int32_t sizeX, std::int32_t sizeZ, std::int32_t x, std::int32_t y,
                                 std::int32_t z) {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(sizeZ) + static_cast<std::size_t>(z)) *
                   static_cast<std::size_t>(sizeX) +
               static_cast<std::size_t>(x);
    }

    std::int32_t sizeX_ = -1;
    std::int32_t sizeY_ = -1;
    std::int32_t sizeZ_ = -1;
    std::shared_ptr<const std::string> cells_;  // sizeY_ * sizeZ_ * sizeX_ letters
    std::shared_ptr<const std::vector<Vec3>> enemyStarts_;
};

}  // namespace brickstorm
