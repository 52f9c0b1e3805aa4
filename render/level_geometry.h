#pragma once

#include <cstdint>

#include "render/face.h"
#include "world/level.h"

namespace brickstorm {

// The faces a level cell may show, by kind: bit k of a set stands for kind k. Kinds 0 to 5 are
// a block's sides (top, bottom, low x, high x, low z, high z); kinds 6 to 13 are the exit's door
// and window on its low z, high z, low x and high x side, in that order. Within a cell the
// faces are listed in kind order.
using LevelFaceKinds = std::uint16_t;
inline constexpr std::uint8_t kLevelFaceKindCount = 14;

// The kinds of face that cell (x, y, z) shows: none unless it is a block or the exit.
LevelFaceKinds cellFaceKinds(const Level& level, std::int32_t x, std::int32_t y, std::int32_t z);

// The face of `kind` (below kLevelFaceKindCount) on the cell at (x, y, z).
Face levelFace(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t kind);

// The faces of every block and the exit of a level, sides between two blocks left out; by cell
// with x slowest and z fastest, and within a cell in kind order.
FaceList buildLevelFaces(const Level& level);

// Appends the sides of the block at (x, y, z) that no neighbouring block hides.
void addBlockFaces(FaceList& faces, const Level& level, std::int32_t x, std::int32_t y, std::int32_t z);

// Appends the exit at (x, y, z): a block, and a door and a window on every open horizontal side.
void addExitFaces(FaceList& faces, const Level& level, std::int32_t x, std::int32_t y, std::int32_t z);

}  // namespace brickstorm
