#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "render/face_bounds.h"
#include "render/view_culling.h"
#include "render/view_slopes.h"

namespace brickstorm {

namespace {

// How far a span from `least` to `greatest` lies from zero: the mean of the two distances.
double axisReach(double least, double greatest) { return (std::abs(least) + std::abs(greatest)) / 2.0; }

// Keeps the faces for which `keep` holds (it may change them), in list order.
template <typename Keep>
void keepFaces(FaceList& faces, Keep keep) {
    std::size_t kept = 0;
    for (Face& face : faces) {
        if (keep(face)) {
            faces[kept++] = face;
        }
    }
    faces.erase(faces.begin() + static_cast<std::ptrdiff_t>(kept), faces.end());
}

// A face's place in the drawing order.
struct DrawOrder {
    double key = 0.0;
    std::size_t index = 0;
};

// The faces' drawing order, nearest first. Faces with equal keys keep their list order, so a
// scene always gives the same frame.
std::vector<DrawOrder> nearestFirst(const FaceList& faces) {
    std::vector<DrawOrder> order;
    order.reserve(faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        order.push_back({depthKey(faces[i]), i});
    }
    std::sort(order.begin(), order.end(), [](const DrawOrder& a, const DrawOrder& b) {
        return a.key < b.key || (a.key == b.key && a.index < b.index);
    });
    return order;
}

}  // namespace

FaceList appendFaces(FaceList first, FaceList second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

double depthKey(const Face& face) {
    const FaceBounds b = boundsOf(face);
    return axisReach(b.least.x, b.greatest.x) + axisReach(b.least.y, b.greatest.y) +
           axisReach(b.least.z, b.greatest.z);
}

std::vector<ScreenQuad> renderView(const ViewSettings& view, FaceList faces, Vec3 cameraPosition,
                                   double cameraYaw) {
    const ViewSlopes slopes = viewSlopes(view);
    translateFaces(faces, -cameraPosition.x, -cameraPosition.y, -cameraPosition.z);
    // The exact turn costs a square root and three trigonometric functions per corner; most
    // faces of a scene lie behind or beside the camera, and a cheap turn finds them first.
    if (const auto turn = viewTurn(-cameraYaw)) {
        keepFaces(faces, [&](const Face& face) { return !certainlyOutOfView(face, *turn, slopes); });
    }
    rotateFaces(faces, -cameraYaw);
    keepFaces(faces, [&](Face& face) { return keepInView(face, slopes); });

    std::vector<ScreenQuad> quads;
    quads.reserve(faces.size());
    for (const DrawOrder& entry : nearestFirst(faces)) {
        quads.push_back(projectFace(slopes, faces[entry.index]));
    }
    return quads;
}

}  // namespace brickstorm
