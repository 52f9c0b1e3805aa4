#pragma once

#include <algorithm>
#include <vector>

#include "render/face.h"
#include "render/frame_buffer.h"
#include "render/projection.h"
#include "render/scene.h"
#include "render/view_culling.h"
#include "render/view_slopes.h"
#include "world/vec3.h"

namespace brickstorm::testing {

// The reference for the renderer's shortcuts: the view the long way. Every face of the list is
// moved and turned exactly, culled, put in a stable order by depth key, and projected.
inline std::vector<ScreenQuad> plainView(FaceList faces, Vec3 camera, double yaw,
                                         const ViewSettings& view = {}) {
    const ViewSlopes slopes = viewSlopes(view);
    translateFaces(faces, -camera.x, -camera.y, -camera.z);
    rotateFaces(faces, -yaw);
    FaceList kept;
    for (Face& face : faces) {
        if (keepInView(face, slopes)) {
            kept.push_back(face);
        }
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Face& a, const Face& b) { return depthKey(a) < depthKey(b); });
    std::vector<ScreenQuad> quads;
    quads.reserve(kept.size());
    for (const Face& face : kept) {
        quads.push_back(projectFace(view, face));
    }
    return quads;
}

}  // namespace brickstorm::testing
