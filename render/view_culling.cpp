#include "render/view_culling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

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

// The slack for corners up to `reach` from the camera along x and z.
double turnSlack(double reach) { return kTurnSlack * (1.0 + reach); }

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
    const double slack = turnSlack(reach);
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

double drawnReach(const ViewSlopes& slopes) {
    // A kept face's farthest corner B lies in front, no deeper than the drawing distance, and
    // within the face's reach of the view's sides: |x| <= |halfWidth| z + reach, likewise y.
    const double across = std::abs(slopes.halfWidth) * kDrawDistance + kFaceReach;
    const double upDown = std::abs(slopes.halfHeight) * kDrawDistance + kFaceReach;
    return std::sqrt(kDrawDistance * kDrawDistance + across * across + upDown * upDown);
}

bool boxCertainlyOutOfView(const FaceBounds& moved, const ViewTurn& turn, const ViewSlopes& slopes) {
    const Vec3& a = moved.least;
    const Vec3& b = moved.greatest;
    const std::array<std::array<double, 2>, 4> corners{{{a.x, a.z}, {b.x, a.z}, {a.x, b.z}, {b.x, b.z}}};
    double reach = 0.0;
    double nearest = std::numeric_limits<double>::infinity();
    double farthest = -std::numeric_limits<double>::infinity();
    // Per side of the view, the least of (x - halfWidth z) and its mirror over the turned corners:
    // the matrix turn is linear, so over the box they are least at one of its corners.
    double right = std::numeric_limits<double>::infinity();
    double left = std::numeric_limits<double>::infinity();
    double heightAtDepth = -std::numeric_limits<double>::infinity();
    for (const auto& [x, z] : corners) {
        reach = std::max(reach, std::abs(x) + std::abs(z));
        const double turnedX = x * turn.cosine + z * turn.sine;
        const double turnedZ = z * turn.cosine - x * turn.sine;
        nearest = std::min(nearest, turnedZ);
        farthest = std::max(farthest, turnedZ);
        right = std::min(right, turnedX - slopes.halfWidth * turnedZ);
        left = std::min(left, -turnedX - slopes.halfWidth * turnedZ);
        heightAtDepth = std::max(heightAtDepth, slopes.halfHeight * turnedZ);
    }
    const double slack = turnSlack(reach);
    if (farthest + slack <= 0.0 || nearest - slack > kDrawDistance) {
        return true;
    }
    // A kept face's farthest corner B has x_B - halfWidth z_B no greater than the face's width,
    // and the same for the other side and for y; B may lie a slack away from its matrix image.
    const double sideSlack = kFaceReach + slack * (1.0 + std::abs(slopes.halfWidth));
    const double endSlack = kFaceReach + slack * std::abs(slopes.halfHeight);
    return right > sideSlack || left > sideSlack || a.y - heightAtDepth > endSlack ||
           -b.y - heightAtDepth > endSlack;
}

}  // namespace brickstorm
