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
    LevelCells grid;
    // The string holds the layers bottom up, each layer's rows from the far z edge to z = 0,
    // each row along x: walking it that way reads it strictly front to back.
    std::size_t next = kHeaderLength;
    for (std::int32_t cy = 0; cy < *y; ++cy) {
        LevelLayer& layer = grid.emplace_back(static_cast<std::size_t>(*z));
        for (std::int32_t cz = *z - 1; cz >= 0; --cz) {
            LevelRow& row = layer[static_cast<std::size_t>(cz)];
            row.reserve(static_cast<std::size_t>(*x));
            for (std::int32_t cx = 0; cx < *x; ++cx) {
                const char letter = text[next++];
                const Vec3 here{static_cast<double>(cx), static_cast<double>(cy), static_cast<double>(cz)};
                if (letter == kCellPlayerStart) {
                    start = here;
                    row.push_back(kCellEmpty);
                } else if (letter == kCellEnemyStart) {
                    enemies.push_back(here);
                    row.push_back(kCellEmpty);
                } else {
                    row.push_back(letter);
                }
            }
        }
    }
    *this = Level(*x, *y, *z, std::move(grid), start, std::move(enemies));
}

Level::Level(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ, LevelCells cells, Vec3 playerStart,
             std::vector<Vec3> enemyStarts)
    : sizeX(sizeX),
      sizeY(sizeY),
      sizeZ(sizeZ),
      playerStart(playerStart),
      enemyStarts(std::move(enemyStarts)),
      cells(std::move(cells)) {}

char Level::cellAt(std::int32_t x, std::int32_t y, std::int32_t z) const {
    if (x < 0 || y < 0 || z < 0 || x >= sizeX || y >= sizeY || z >= sizeZ) {
        return kCellEmpty;
    }
    return cells[static_cast<std::size_t>(y)][static_cast<std::size_t>(z)][static_cast<std::size_t>(x)];
}

}  // namespace brickstorm
