#include "render/view_culling.h"

#include <algorithm>
#include <cmath>

#include "render/exact_turns.h"
#include "render/face_bounds.h"
#include "render/scene.h"

namespace brickstorm {

namespace {

// Far above the rounding difference between the matrix and the exact turn of a corner (about
// 1e-15 of its distance, or 4e-9 where the exact turn by a right angle meets the rounded pi of
// the matrix), and far below anything a frame can show.
constexpr double kTurnSlack = 1e-6;
// Up to here a double angle in radians is fine enough (its rounding step below 1e-7) for the
// exact turn to stay within the slack of the matrix.
constexpr double kLargestMatrixTurn = 1e9;

// Moves the corners on or behind the camera plane just in front of it, so that every corner can
// be projected; the quad then reaches far out of the frame and is clipped when it is filled.
void floorDepths(Face& face) {
    for (Vec3& c : face.corners) {
        if (c.z <= 0.0) {
            c.z = kNearDepth;
        }
    }
}

// True when the span from `least` to `greatest` lies wholly outside -halfExtent..halfExtent.
bool outside(double least, double greatest, double halfExtent) {
    return -halfExtent > greatest || least > halfExtent;
}

}  // namespace

bool keepInView(Face& face, const ViewSlopes& slopes) {
    const FaceBounds box = boundsOf(face);
    if (box.greatest.z <= 0.0 || box.greatest.z > kDrawDistance) {
        return false;
    }
    if (box.least.z <= 0.0) {
        floorDepths(face);
    }
    return !outside(box.least.x, box.greatest.x, slopes.halfWidth * box.greatest.z) &&
           !outside(box.least.y, box.greatest.y, slopes.halfHeight * box.greatest.z);
}

std::optional<ViewTurn> viewTurn(double degrees) {
    if (isExactTurn(degrees) || !(std::abs(degrees) <= kLargestMatrixTurn)) {
        return std::nullopt;
    }
    const double radians = radiansFromDegrees(degrees);
    return ViewTurn{std::cos(radians), std::sin(radians)};
}

bool certainlyOutOfView(const Face& moved, const ViewTurn& turn, const ViewSlopes& slopes) {
    Face turned = moved;
    double reach = 0.0;
    for (Vec3& c : turned.corners) {
        reach = std::max(reach, std::abs(c.x) + std::abs(c.z));
        c = {c.x * turn.cosine + c.z * turn.sine, c.y, c.z * turn.cosine - c.x * turn.sine};
    }
    const double slack = kTurnSlack * (1.0 + reach);
    const FaceBounds box = boundsOf(turned);
    if (box.greatest.z + slack <= 0.0 || box.greatest.z - slack > kDrawDistance) {
        return true;
    }
    // The exact depth and every exact x lie within the slack of the turned ones: compare the
    // box at its widest with the view at its widest.
    const double farthest = box.greatest.z + slack;
    const double halfWidth = std::abs(slopes.halfWidth * farthest);
    const double halfHeight = std::abs(slopes.halfHeight * farthest);
    return outside(box.least.x - slack, box.greatest.x + slack, halfWidth + slack) ||
           outside(box.least.y - slack, box.greatest.y + slack, halfHeight + slack);
}

}  // namespace brickstorm
