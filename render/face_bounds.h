#pragma once

#include <algorithm>

#include "render/face.h"

namespace brickstorm {

// The least and the greatest coordinate along each axis over the corners of a face.
struct FaceBounds {
    Vec3 least;
    Vec3 greatest;
};

inline FaceBounds boundsOf(const Face& face) {
    FaceBounds bounds{face.corners[0], face.corners[0]};
    for (const Vec3& c : face.corners) {
        bounds.least = {std::min(bounds.least.x, c.x), std::min(bounds.least.y, c.y),
                        std::min(bounds.least.z, c.z)};
        bounds.greatest = {std::max(bounds.greatest.x, c.x), std::max(bounds.greatest.y, c.y),
                           std::max(bounds.greatest.z, c.z)};
    }
    return bounds;
}

}  // namespace brickstorm
