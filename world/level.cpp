#include "world/level.h"

#include <cstddef>
#include <optional>
#include <utility>

namespace brickstorm {

namespace {

constexpr std::size_t kHeaderLength = 9;
constexpr std::size_t kSizeDigits = 3;

// The value of three decimal digits at `offset`, or nothing if any of them is not a digit.
std::optional<std::int32_t> readSize(const std::string& text, std::size_t offset) {
    std::int32_t value = 0;
    for (std::size_t i = offset; i < offset + kSizeDigits; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

Level::Level(std::string text) {
    if (text.size() < kHeaderLength) {
        return;
    }
    const auto x = readSize(text, 0);
    const auto y = readSize(text, kSizeDigits);
    const auto z = readSize(text, 2 * kSizeDigits);
    if (!x || !y || !z) {
        return;
    }
    // Three sizes of at most 999 multiply to less than 2^30: no overflow.
    const std::size_t cellCount =
        static_cast<std::size_t>(*x) * static_cast<std::size_t>(*y) * static_cast<std::size_t>(*z);
    if (cellCount != text.size() - kHeaderLength) {
        return;
    }

    Vec3 start;
    std::vector<Vec3> enemies;
    std::string grid(cellCount, kCellEmpty);
    // The string holds the layers bottom up, each layer's rows from the far z edge to z = 0,
    // each row along x: walking it that way reads it strictly front to back.
    std::size_t next = kHeaderLength;
    for (std::int32_t cy = 0; cy < *y; ++cy) {
        for (std::int32_t cz = *z - 1; cz >= 0; --cz) {
            for (std::int32_t cx = 0; cx < *x; ++cx) {
                const char letter = text[next++];
                const Vec3 here{static_cast<double>(cx), static_cast<double>(cy), static_cast<double>(cz)};
                char& cell = grid[flatIndex(*x, *z, cx, cy, cz)];
                if (letter == kCellPlayerStart) {
                    start = here;
                } else if (letter == kCellEnemyStart) {
                    enemies.push_back(here);
                } else {
                    cell = letter;
                }
            }
        }
    }
    *this = Level(*x, *y, *z, std::move(grid), start, std::move(enemies));
}

Level::Level(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ, std::string cells, Vec3 playerStart,
             std::vector<Vec3> enemyStarts)
    : playerStart(playerStart),
      sizeX_(sizeX),
      sizeY_(sizeY),
      sizeZ_(sizeZ),
      cells_(std::make_shared<const std::string>(std::move(cells))),
      enemyStarts_(std::make_shared<const std::vector<Vec3>>(std::move(enemyStarts))) {}

Level::Level(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ, const LevelCells& cells,
             Vec3 playerStart, std::vector<Vec3> enemyStarts)
    : Level(sizeX, sizeY, sizeZ, std::string(), playerStart, std::move(enemyStarts)) {
    if (sizeX <= 0 || sizeY <= 0 || sizeZ <= 0) {
        return;
    }
    std::string flat(
        static_cast<std::size_t>(sizeX) * static_cast<std::size_t>(sizeY) * static_cast<std::size_t>(sizeZ),
        kCellEmpty);
    // Only the part of `cells` inside the sizes counts: a short or ragged grid reads as empty.
    for (std::size_t y = 0; y < cells.size() && y < static_cast<std::size_t>(sizeY); ++y) {
        for (std::size_t z = 0; z < cells[y].size() && z < static_cast<std::size_t>(sizeZ); ++z) {
            const LevelRow& row = cells[y][z];
            for (std::size_t x = 0; x < row.size() && x < static_cast<std::size_t>(sizeX); ++x) {
                flat[flatIndex(sizeX, sizeZ, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                               static_cast<std::int32_t>(z))] = row[x];
            }
        }
    }
    cells_ = std::make_shared<const std::string>(std::move(flat));
}

void Level::setCell(std::int32_t x, std::int32_t y, std::int32_t z, char letter) {
    if (x < 0 || y < 0 || z < 0 || x >= sizeX_ || y >= sizeY_ || z >= sizeZ_) {
        return;
    }
    auto changed = std::make_shared<std::string>(*cells_);
    (*changed)[flatIndex(sizeX_, sizeZ_, x, y, z)] = letter;
    cells_ = std::move(changed);
}

const std::vector<Vec3>& Level::enemyStarts() const {
    static const std::vector<Vec3> kNone;
    return enemyStarts_ ? *enemyStarts_ : kNone;
}

bool operator==(const Level& a, const Level& b) {
    if (a.sizeX_ != b.sizeX_ || a.sizeY_ != b.sizeY_ || a.sizeZ_ != b.sizeZ_ ||
        a.playerStart != b.playerStart || a.enemyStarts() != b.enemyStarts()) {
        return false;
    }
    // Shared cells are equal without reading them: the common case of an entity's copy.
    if (a.cells_ == b.cells_) {
        return true;
    }
    if (a.cellCount() == 0 || b.cellCount() == 0) {
        return a.cellCount() == b.cellCount();
    }
    return *a.cells_ == *b.cells_;
}

}  // namespace brickstorm
