#pragma once

#include <cstdint>
#include <optional>

#include "editor/edited_level.h"
#include "render/colour.h"
#include "render/face_chunks.h"
#include "render/frame_buffer.h"
#include "render/picture.h"
#include "world/level.h"
#include "world/vec3.h"

namespace brickstorm::editor {

// Where the 3D view looks from: a cell's centre, and the heading in degrees (0 looks far, +z; 90
// looks right, +x), as the game places its camera.
struct ViewCamera {
    Vec3 position;
    double yaw = 0.0;
};

// The game's own 3D view of the edited level. It keeps the level's faces in chunks, as the game
// does, and builds anew only the chunks that a change touches, so that a key costs the change
// and the frame, not the level's size.
class LevelView {
public:
    // Takes the changes the level has noted since the last call and brings the faces up to date.
    void follow(EditedLevel& level);

    // The level from `camera` with the enemies at their starts, drawn as the game draws its
    // fitted view into `columns` x `lines` cells of the shape `cellAspect`; coloured as the game's
    // view is, in `colour` when given.
    Picture draw(const EditedLevel& level, const ViewCamera& camera, std::int32_t columns, std::int32_t lines,
                 double cellAspect, std::optional<ColourDepth> colour);

private:
    Level level_;
    FaceChunks chunks_;
    FrameBuffer frame_;
};

}  // namespace brickstorm::editor
