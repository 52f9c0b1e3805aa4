#pragma once

#include <optional>

#include "render/face.h"
#include "render/face_bounds.h"
#include "render/view_slopes.h"

namespace brickstorm {

// True when a face in view space may show in the frame. The tests, in order: wholly on or behind
// the camera plane; partly beyond the drawing distance; then, with the corners on or behind the
// camera plane moved to kNearDepth, wholly left, right, below or above the view at the face's
// farthest depth. The side tests use the box from before that move, and are coarse: a face that
// shows in part is never dropped.
bool keepInView(Face& face, const ViewSlopes& slopes);

// A turn about the vertical axis as a rotation matrix: far cheaper than the exact turn of
// rotateFaces, and different from it only by rounding.
struct ViewTurn {
    double cosine = 1.0;
    double sine = 0.0;
};

// The matrix of rotateFaces' turn by `degrees`. None where the exact turn is cheap anyway (0, 90,
// 180, 270), and none for an angle so large (beyond a billion degrees) or so broken (infinite,
// NaN) that the two turns may round apart.
std::optional<ViewTurn> viewTurn(double degrees);

// True when a face, moved by the camera but not yet turned, would certainly fail keepInView once
// turned: its box turned by the matrix lies outside the view by more than any rounding
// difference between the two turns. Lets a frame turn exactly only the faces that may show.
bool certainlyOutOfView(const Face& moved, const ViewTurn& turn, const ViewSlopes& slopes);

// The widest a level's face or an enemy's face reaches across, along any axis of the view.
inline constexpr double kFaceReach = 1.5;

// How far from the camera a face that keepInView keeps may lie: every such face no wider than
// kFaceReach has a corner within this distance.
double drawnReach(const ViewSlopes& slopes);

// True when no face within `moved` (a box around faces no wider than kFaceReach, moved by the
// camera but not yet turned) would pass keepInView once turned: the box turned by the matrix
// lies outside the view by more than any face's reach and any rounding difference between the
// two turns. Lets a frame pass over a whole chunk of faces.
bool boxCertainlyOutOfView(const FaceBounds& moved, const ViewTurn& turn, const ViewSlopes& slopes);

}  // namespace brickstorm
