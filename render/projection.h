#pragma once

#include <cstdint>
#include <optional>

#include "render/face.h"
#include "render/frame_buffer.h"

namespace brickstorm {

// Pi as the renderer converts degrees with it.
inline constexpr double kRenderPi = 3.14159265;

// The full angles of view, in whole degrees, across the 90 columns and the 60 rows of the
// frame. A view fitted to a window (see fittedView) keeps the horizontal angle across its own
// columns and takes its vertical angle from the window's shape instead.
struct ViewSettings {
    std::int32_t horizontalFov = 60;
    std::int32_t verticalFov = 40;
    std::int32_t columns = kFrameColumns;
    std::int32_t rows = kFrameRows;
    std::optional<double> fittedCellAspect;  // a cell's height over its width, for a fitted view

    friend bool operator==(const ViewSettings&, const ViewSettings&) = default;
};

// The view of `full` projected onto `columns` x `rows` cells of the shape `cellAspect`
// (height over width): the same horizontal angle, and a vertical one that keeps a cube a cube.
ViewSettings fittedView(const ViewSettings& full, std::int32_t columns, std::int32_t rows, double cellAspect);

// Adds (dx, dy, dz) to every corner of every face.
void translateFaces(FaceList& faces, double dx, double dy, double dz);

// Turns every corner about the vertical axis by `degrees`, clockwise on a map with +x right
// and +z up; exactly 0, 90, 180 and 270 are exact.
void rotateFaces(FaceList& faces, double degrees);

// How far a face in view space lies in front of the camera: the mean depth of its corners.
double faceDepth(const Face& face);

// Projects a face in view space (every corner in front of the camera) onto the frame.
ScreenQuad projectFace(const ViewSettings& view, const Face& face);

}  // namespace brickstorm
