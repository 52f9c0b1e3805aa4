#include "render/projection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "render/exact_turns.h"
#include "render/view_slopes.h"
#include "render/whole_numbers.h"

namespace brickstorm {

namespace {

// The largest distance from the frame centre at which a corner too close to the camera plane
// is placed: well inside the int range, so every later conversion of it is exact.
constexpr double kFarthestReach = 2.0e9;

// The corner turned clockwise by `radians` on the map (+x right, +z up), y kept.
Vec3 turnedCorner(const Vec3& corner, double radians) {
    const double r = std::sqrt(corner.x * corner.x + corner.z * corner.z);
    const double t = std::atan2(corner.z, corner.x) - radians;
    return {r * std::cos(t), corner.y, r * std::sin(t)};
}

// The corner turned by an exact quarter, half or three-quarter turn: no rounding at all.
Vec3 turnedCornerExactly(const Vec3& corner, double degrees) {
    if (degrees == kQuarterTurn) {
        return {corner.z, corner.y, -corner.x};
    }
    if (degrees == kHalfTurn) {
        return {-corner.x, corner.y, -corner.z};
    }
    return {-corner.z, corner.y, corner.x};
}

// Replaces every corner of every face by its image under `map`.
template <typename CornerMap>
void mapEveryCorner(FaceList& faces, CornerMap map) {
    for (Face& face : faces) {
        for (Vec3& corner : face.corners) {
            corner = map(corner);
        }
    }
}

// True when a rounded frame coordinate fits an int, the type frame positions are counted in.
bool fitsFrameInt(double value) {
    return value >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
           value <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

// A whole-number double that fits an int, with a negative zero made plain zero.
double asFrameInt(double value) { return static_cast<double>(static_cast<std::int32_t>(value)); }

// A corner so near the camera plane that its frame point leaves the int range, or is not even
// finite. Its offset from the frame centre is (x / slope, -y / slope) times half the columns and
// half the rows, divided by its depth; keeping that direction and shortening it to a finite reach keeps the
// edges that run towards it, and so what the quad covers inside the frame, as they were.
ScreenPoint pulledBackPoint(const ViewSlopes& slopes, const Vec3& corner) {
    const double centreColumn = slopes.columns / 2.0;
    const double centreRow = slopes.rows / 2.0;
    const double columnOffset = corner.x / slopes.halfWidth * centreColumn;
    const double rowOffset = -corner.y / slopes.halfHeight * centreRow;
    const double reach = std::max(std::abs(columnOffset), std::abs(rowOffset));
    if (!(reach > 0.0) || !std::isfinite(reach)) {
        return {centreColumn, centreRow};
    }
    const double scale = kFarthestReach / reach;
    return {centreColumn + roundedHalfAway(columnOffset * scale),
            centreRow + roundedHalfAway(rowOffset * scale)};
}

// The frame point of a view-space corner in front of the camera.
ScreenPoint projectedPoint(const ViewSlopes& slopes, const Vec3& corner) {
    const double w = slopes.halfWidth * corner.z;
    const double column = roundedHalfAway((corner.x + w) / (w * 2.0) * slopes.columns);
    const double h = slopes.halfHeight * corner.z;
    const double row = roundedHalfAway((1.0 - (corner.y + h) / (h * 2.0)) * slopes.rows);
    if (fitsFrameInt(column) && fitsFrameInt(row)) {
        return {asFrameInt(column), asFrameInt(row)};
    }
    return pulledBackPoint(slopes, corner);
}

}  // namespace

void translateFaces(FaceList& faces, double dx, double dy, double dz) {
    mapEveryCorner(faces, [=](const Vec3& c) { return Vec3{c.x + dx, c.y + dy, c.z + dz}; });
}

void rotateFaces(FaceList& faces, double degrees) {
    if (degrees == 0.0) {
        return;
    }
    if (isExactTurn(degrees)) {
        mapEveryCorner(faces, [=](const Vec3& c) { return turnedCornerExactly(c, degrees); });
        return;
    }
    const double radians = radiansFromDegrees(degrees);
    mapEveryCorner(faces, [=](const Vec3& c) { return turnedCorner(c, radians); });
}

ViewSettings fittedView(const ViewSettings& full, std::int32_t columns, std::int32_t rows, double cellAspect) {
    ViewSettings view = full;
    view.columns = columns;
    view.rows = rows;
    view.fittedCellAspect = cellAspect;
    return view;
}

double faceDepth(const Face& face) {
    double sum = 0.0;
    for (const Vec3& corner : face.corners) {
        sum += corner.z;
    }
    return sum / static_cast<double>(face.corners.size());
}

ScreenQuad projectFace(const ViewSettings& view, const Face& face) {
    return projectFace(viewSlopes(view), face);
}

ScreenQuad projectFace(const ViewSlopes& slopes, const Face& face) {
    ScreenQuad quad;
    for (std::size_t i = 0; i < face.corners.size(); ++i) {
        quad.points[i] = projectedPoint(slopes, face.corners[i]);
    }
    quad.fill = face.fill;
    quad.kind = face.kind;
    quad.depth = static_cast<float>(faceDepth(face));
    return quad;
}

}  // namespace brickstorm
