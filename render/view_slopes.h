#pragma once

#include <cmath>
#include <cstdint>

#include "render/face.h"
#include "render/frame_buffer.h"
#include "render/projection.h"

namespace brickstorm {

// Degrees to radians with the renderer's pi: degrees * pi / 180, in that order.
inline double radiansFromDegrees(double degrees) { return degrees * kRenderPi / 180.0; }

// Half the visible extent per unit of depth for a full angle of view in whole degrees; the
// angle is halved in whole degrees, so an odd angle loses its half degree.
inline double halfViewSlope(std::int32_t fullAngleDegrees) {
    const std::int32_t halfAngleDegrees = fullAngleDegrees / 2;
    return std::tan(radiansFromDegrees(halfAngleDegrees));
}

// The view's half width and half height per unit of depth, worked out once per frame rather
// than once per face.
struct ViewSlopes {
    double halfWidth = 0.0;
    double halfHeight = 0.0;
};

inline ViewSlopes viewSlopes(const ViewSettings& view) {
    return {halfViewSlope(view.horizontalFov), halfViewSlope(view.verticalFov)};
}

// projectFace with the slopes of its view already worked out: the same quad.
ScreenQuad projectFace(const ViewSlopes& slopes, const Face& face);

}  // namespace brickstorm
