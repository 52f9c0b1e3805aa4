#pragma once

#include <cstdint>

#include "render/face.h"
#include "render/frame_buffer.h"

namespace brickstorm {

// Pi as the renderer converts degrees with it.
inline constexpr double kRenderPi = 3.14159265;

// The full angles of view, in whole degrees, across the 90 columns and the 60 rows.
struct ViewSettings {
    std::int32_t horizontalFov = 60;
    std::int32_t verticalFov = 40;
};

// Adds (dx, dy, dz) to every corner of every face.
void translateFaces(FaceList& faces, double dx, double dy, double dz);

// Turns every corner about the vertical axis by `degrees`, clockwise on a map with +x right
// and +z up; exactly 0, 90, 180 and 270 are exact.
void rotateFaces(FaceList& faces, double degrees);

// Projects a face in view space (every corner in front of the camera) onto the frame.
ScreenQuad projectFace(const ViewSettings& view, const Face& face);

}  // namespace brickstorm
