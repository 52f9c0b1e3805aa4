#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/face.h"
#include "render/face_chunks.h"
#include "render/frame_buffer.h"
#include "render/projection.h"
#include "world/vec3.h"

namespace brickstorm {

// Faces whose farthest corner is deeper than this are not drawn.
inline constexpr double kDrawDistance = 30.0;
// The depth given to corners on or behind the camera plane of a face that crosses it.
inline constexpr double kNearDepth = 0.01;

// All faces of `first`, then all faces of `second`, in order.
FaceList appendFaces(FaceList first, FaceList second);

// The sort key of a face in view space: per axis the mean of the absolute least and greatest
// coordinate, summed. Smaller is drawn first.
double depthKey(const Face& face);

// The scene as seen from the camera: culled, nearest first, projected. The faces are moved,
// turned and culled one by one in list order, so their cost is the whole list's.
std::vector<ScreenQuad> renderView(const ViewSettings& view, FaceList faces, Vec3 cameraPosition,
                                   double cameraYaw);

// What a frame's scene is built in. Kept by whoever draws from one frame to the next, so that once
// the buffers have grown to a scene's size, drawing it again allocates nothing.
struct SceneBuffers {
    // A face kept in view, with its sort key and its place in the scene's list.
    struct Kept {
        double key = 0.0;
        std::uint64_t place = 0;
        std::size_t index = 0;
    };
    std::vector<const FaceChunk*> chunks;  // the level's chunks that may show
    FaceList faces;                        // the faces that may show, moved by the camera
    std::vector<std::uint64_t> places;     // each face's place in the scene's list
    std::vector<Kept> kept;
    std::vector<ScreenQuad> quads;
};

// renderView of the level's faces followed by `others`, the same quads in the same order, but
// only the chunks of the level that may show are visited at all.
std::vector<ScreenQuad> renderScene(const ViewSettings& view, const FaceChunks& level, const FaceList& others,
                                    Vec3 cameraPosition, double cameraYaw);

// The same built in `buffers`: the quads are buffers.quads, valid until they are used again.
const std::vector<ScreenQuad>& renderScene(const ViewSettings& view, const FaceChunks& level,
                                           const FaceList& others, Vec3 cameraPosition, double cameraYaw,
                                           SceneBuffers& buffers);

}  // namespace brickstorm
