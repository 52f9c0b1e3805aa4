#include "render/projection.h"
#include "sim/entity.h"

namespace brickstorm {

namespace {

// The enemy's box around its drawn position: narrow, and hanging mostly below it.
constexpr double kHalfWidth = 0.2;
constexpr double kTop = 0.2;
constexpr double kBottom = -0.5;

// Top and bottom, then front and back (+z, -z), then the flanks (-x, +x); the front is +z so
// that turning by the yaw points it along the enemy's facing.
FaceList unturnedModel() {
    constexpr double w = kHalfWidth;
    constexpr double top = kTop;
    constexpr double low = kBottom;
    return {
        {{{{-w, top, w}, {w, top, w}, {w, top, -w}, {-w, top, -w}}}, kFillDivisionSign, FaceKind::Enemy},
        {{{{-w, low, w}, {w, low, w}, {w, low, -w}, {-w, low, -w}}}, kFillDivisionSign, FaceKind::Enemy},
        {{{{-w, top, w}, {w, top, w}, {w, low, w}, {-w, low, w}}}, kFillTopHalfIntegral, FaceKind::Enemy},
        {{{{-w, top, -w}, {w, top, -w}, {w, low, -w}, {-w, low, -w}}}, kFillTopHalfIntegral, FaceKind::Enemy},
        {{{{-w, top, w}, {-w, top, -w}, {-w, low, -w}, {-w, low, w}}}, kFillDegreeSign, FaceKind::Enemy},
        {{{{w, top, w}, {w, top, -w}, {w, low, -w}, {w, low, w}}}, kFillDegreeSign, FaceKind::Enemy},
    };
}

}  // namespace

FaceList EnemyEntity::buildModel() const {
    FaceList faces = unturnedModel();
    rotateFaces(faces, yaw);
    translateFaces(faces, displayPosition.x, displayPosition.y, displayPosition.z);
    return faces;
}

}  // namespace brickstorm
