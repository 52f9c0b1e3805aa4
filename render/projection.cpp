#include "render/projection.h"

namespace brickstorm {
// PLACEHOLDER
void translateFaces(FaceList&, double, double, double) {}
void rotateFaces(FaceList&, double) {}
ScreenQuad projectFace(const ViewSettings&, const Face&) { return {}; }
}  // namespace brickstorm
