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

// The view's half width and half height per unit of depth, and the frame it is projected onto,
// worked out once per frame rather than once per face.
struct ViewSlopes {
    double halfWidth = 0.0;
    double halfHeight = 0.0;
    double columns = kFrameColumns;
    double rows = kFrameRows;
};

// A fitted view's rows cover as much height per unit of depth as its columns cover width, scaled
// by the cells' shape: tan(v/2) = tan(h/2) * (rows * cell height) / (columns * cell width).
inline double fittedHalfHeight(double halfWidth, const ViewSettings& view, double cellAspect) {
    return halfWidth * (static_cast<double>(view.rows) * cellAspect) / static_cast<double>(view.columns);
}

inline ViewSlopes viewSlopes(const ViewSettings& view) {
    const double halfWidth = halfViewSlope(view.horizontalFov);
    const double halfHeight = view.fittedCellAspect ? fittedHalfHeight(halfWidth, view, *view.fittedCellAspect)
                                                    : halfViewSlope(view.verticalFov);
    return {halfWidth, halfHeight, static_cast<double>(view.columns), static_cast<double>(view.rows)};
}

// projectFace with the slopes of its view already worked out: the same quad.
ScreenQuad projectFace(const ViewSlopes& slopes, const Face& face);

}  // namespace brickstorm
