#pragma once

#include <cstdint>

#include "render/face.h"
#include "world/level.h"

namespace brickstorm {

// The faces of every block and the exit of a level, sides between two blocks left out.
FaceList buildLevelFaces(const Level& level);

// Appends the sides of the block at (x, y, z) that no neighbouring block hides.
void addBlockFaces(FaceList& faces, const Level& level, std::int32_t x, std::int32_t y, std::int32_t z);

// Appends the exit at (x, y, z): a block, and a door and a window on every open horizontal side.
void addExitFaces(FaceList& faces, const Level& level, std::int32_t x, std::int32_t y, std::int32_t z);

}  // namespace brickstorm
