#pragma once

// Large levels built by rule, the same on every run and every standard library: a city, a tower
// of mazes and a grid filled as densely as blocks can be while every side still shows. Shared
// by the tests and the benchmarks.

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "world/level.h"

namespace brickstorm::testing {

// A grid of letters being filled in, written out as a level string.
class LevelGrid {
public:
    LevelGrid(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ)
        : sizeX_(sizeX),
          sizeY_(sizeY),
          sizeZ_(sizeZ),
          cells_(static_cast<std::size_t>(sizeX) * static_cast<std::size_t>(sizeY) *
                     static_cast<std::size_t>(sizeZ),
                 kCellEmpty) {}

    char& at(std::int32_t x, std::int32_t y, std::int32_t z) {
        return cells_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(sizeZ_) +
                       static_cast<std::size_t>(z)) *
                          static_cast<std::size_t>(sizeX_) +
                      static_cast<std::size_t>(x)];
    }

    // The level string: the header, then the layers bottom up, each from the far z row down.
    std::string text() {
        char header[10];
        std::snprintf(header, sizeof header, "%03d%03d%03d", static_cast<int>(sizeX_),
                      static_cast<int>(sizeY_), static_cast<int>(sizeZ_));
        std::string text = header;
        text.reserve(text.size() + cells_.size());
        for (std::int32_t y = 0; y < sizeY_; ++y) {
            for (std::int32_t z = sizeZ_ - 1; z >= 0; --z) {
                for (std::int32_t x = 0; x < sizeX_; ++x) {
                    text += at(x, y, z);
                }
            }
        }
        return text;
    }

private:
    std::int32_t sizeX_;
    std::int32_t sizeY_;
    std::int32_t sizeZ_;
    std::string cells_;
};

// A number below `bound` from the generator: its raw output, so that every library agrees.
inline std::int32_t below(std::mt19937& random, std::int32_t bound) {
    return static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(bound));
}

inline constexpr std::int32_t kCityHeight = 16;
inline constexpr std::int32_t kCityBlock = 16;  // a street and the lots of one city block
inline constexpr std::int32_t kCityStreet = 4;  // streets are this wide, at the low x and z
inline constexpr std::int32_t kCityLot = 6;     // two lots of buildings per block and axis
inline constexpr std::int32_t kCityTallest = 15;
inline constexpr std::int32_t kCityFarEnough = 64;  // enemies start at least this far away

// A city on a floor at y = 0: streets along x and z every kCityBlock cells, and on every block
// four buildings 1 to 15 blocks high. The player starts at a street corner near the low
// corner, the exit stands on the far street corner, and `enemies` enemies walk the streets far
// from the player.
inline std::string cityLevelText(std::int32_t sizeX, std::int32_t sizeZ, std::int32_t enemies,
                                 std::uint32_t seed = 1) {
    std::mt19937 random(seed);
    LevelGrid grid(sizeX, kCityHeight, sizeZ);
    for (std::int32_t x = 0; x < sizeX; ++x) {
        for (std::int32_t z = 0; z < sizeZ; ++z) {
            grid.at(x, 0, z) = kCellBlock;
        }
    }
    for (std::int32_t bx = 0; bx + kCityBlock <= sizeX; bx += kCityBlock) {
        for (std::int32_t bz = 0; bz + kCityBlock <= sizeZ; bz += kCityBlock) {
            for (std::int32_t lot = 0; lot < 4; ++lot) {
                const std::int32_t x0 = bx + kCityStreet + (lot % 2) * kCityLot;
                const std::int32_t z0 = bz + kCityStreet + (lot / 2) * kCityLot;
                const std::int32_t height = 1 + below(random, kCityTallest);
                for (std::int32_t x = x0; x < x0 + kCityLot; ++x) {
                    for (std::int32_t y = 1; y <= height; ++y) {
                        for (std::int32_t z = z0; z < z0 + kCityLot; ++z) {
                            grid.at(x, y, z) = kCellBlock;
                        }
                    }
                }
            }
        }
    }
    grid.at(1, 1, 1) = kCellPlayerStart;
    grid.at(sizeX - kCityBlock + 1, 1, sizeZ - kCityBlock + 1) = kCellExit;
    for (std::int32_t placed = 0; placed < enemies;) {
        const std::int32_t x = below(random, sizeX);
        const std::int32_t z = below(random, sizeZ);
        const bool onStreet = x % kCityBlock < kCityStreet || z % kCityBlock < kCityStreet;
        if (onStreet && x + z >= kCityFarEnough && grid.at(x, 1, z) == kCellEmpty) {
            grid.at(x, 1, z) = kCellEnemyStart;
            ++placed;
        }
    }
    return grid.text();
}

inline constexpr std::int32_t kStoreyHeight = 4;  // a floor and three cells of room above it

// A tower of `size` cells each way: a floor every kStoreyHeight cells, and on each floor a maze
// of walls two cells apart, carved as a spanning tree so that every room is reachable, with a
// hole in the floor above its last room. The player starts in the first room of the ground
// floor, the exit stands in a room of the top floor.
inline std::string mazeTowerText(std::int32_t size, std::uint32_t seed = 1) {
    std::mt19937 random(seed);
    LevelGrid grid(size, size, size);
    const std::int32_t rooms = (size - 1) / 2;
    for (std::int32_t floor = 0; floor + kStoreyHeight <= size; floor += kStoreyHeight) {
        for (std::int32_t x = 0; x < size; ++x) {
            for (std::int32_t z = 0; z < size; ++z) {
                grid.at(x, floor, z) = kCellBlock;
                const bool wall = x % 2 == 0 || z % 2 == 0 || x > rooms * 2 || z > rooms * 2;
                for (std::int32_t y = floor + 1; y < floor + kStoreyHeight; ++y) {
                    grid.at(x, y, z) = wall ? kCellBlock : kCellEmpty;
                }
            }
        }
        // Carve passages by a walk that keeps a stack of rooms, choosing neighbours at random.
        std::vector<bool> seen(static_cast<std::size_t>(rooms) * static_cast<std::size_t>(rooms), false);
        std::vector<std::int32_t> stack{0};
        seen[0] = true;
        while (!stack.empty()) {
            const std::int32_t room = stack.back();
            const std::int32_t rx = room % rooms;
            const std::int32_t rz = room / rooms;
            std::int32_t options[4];
            std::int32_t count = 0;
            const std::int32_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& step : steps) {
                const std::int32_t nx = rx + step[0];
                const std::int32_t nz = rz + step[1];
                const std::int32_t neighbour = nz * rooms + nx;
                if (nx >= 0 && nz >= 0 && nx < rooms && nz < rooms &&
                    !seen[static_cast<std::size_t>(neighbour)]) {
                    options[count++] = neighbour;
                }
            }
            if (count == 0) {
                stack.pop_back();
                continue;
            }
            const std::int32_t next = options[below(random, count)];
            seen[static_cast<std::size_t>(next)] = true;
            const std::int32_t wallX = rx * 2 + 1 + (next % rooms - rx);
            const std::int32_t wallZ = rz * 2 + 1 + (next / rooms - rz);
            for (std::int32_t y = floor + 1; y < floor + kStoreyHeight; ++y) {
                grid.at(wallX, y, wallZ) = kCellEmpty;
            }
            stack.push_back(next);
        }
        if (floor + kStoreyHeight < size) {
            grid.at(rooms * 2 - 1, floor + kStoreyHeight, rooms * 2 - 1) = kCellEmpty;
        }
    }
    grid.at(1, 1, 1) = kCellPlayerStart;
    const std::int32_t top = (size - 1) / kStoreyHeight * kStoreyHeight;
    if (top + 1 < size) {
        grid.at(1, top + 1, 1) = kCellExit;
    }
    return grid.text();
}

// Every other cell a block, in three dimensions: no block hides a side of another, so every
// block shows all six, as many faces as blocks can give a grid of this size.
inline std::string checkerboardText(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ) {
    LevelGrid grid(sizeX, sizeY, sizeZ);
    for (std::int32_t x = 0; x < sizeX; ++x) {
        for (std::int32_t y = 0; y < sizeY; ++y) {
            for (std::int32_t z = 0; z < sizeZ; ++z) {
                if ((x + y + z) % 2 == 0) {
                    grid.at(x, y, z) = kCellBlock;
                }
            }
        }
    }
    grid.at(1, 1, 1) = kCellPlayerStart;  // on the block at (1, 0, 1)
    return grid.text();
}

// Blocks and exits scattered at random, one cell in `oneIn` a block and one in 16 of those an
// exit, so that exits stand next to blocks and to each other.
inline std::string scatteredText(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ,
                                 std::int32_t oneIn, std::uint32_t seed) {
    std::mt19937 random(seed);
    LevelGrid grid(sizeX, sizeY, sizeZ);
    for (std::int32_t x = 0; x < sizeX; ++x) {
        for (std::int32_t y = 0; y < sizeY; ++y) {
            for (std::int32_t z = 0; z < sizeZ; ++z) {
                if (below(random, oneIn) == 0) {
                    grid.at(x, y, z) = below(random, 16) == 0 ? kCellExit : kCellBlock;
                }
            }
        }
    }
    return grid.text();
}

}  // namespace brickstorm::testing
