#include "render/level_geometry.h"

namespace brickstorm {
// PLACEHOLDER
FaceList buildLevelFaces(const Level&) { return {}; }
void addBlockFaces(FaceList&, const Level&, std::int32_t, std::int32_t, std::int32_t) {}
void addExitFaces(FaceList&, const Level&, std::int32_t, std::int32_t, std::int32_t) {}
}  // namespace brickstorm
