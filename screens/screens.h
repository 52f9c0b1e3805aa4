#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "core/game_state.h"
#include "render/console.h"
#include "render/frame_buffer.h"
#include "render/scene.h"
#include "screens/picture_layout.h"
#include "screens/screen_texts.h"

namespace brickstorm {

// What the render thread remembers of its pictures from one pass to the next: the layout, and the
// memory a frame of the 3D view is drawn in, so that drawing one allocates nothing once the
// first is drawn.
struct ShownPictures {
    std::optional<PictureLayout> layout;  // the layout of the last picture drawn
    FrameBuffer frame;
    SceneBuffers scene;
    FaceList enemyFaces;  // the enemies' faces of the frame being drawn
};

// Draws the requested screen in `layout`: a text screen once per request, and again whenever the
// layout has changed since the last picture; the 3D view on every pass. What is drawn is copied
// under `stateLock`; rendering and output happen outside it. The level screen names the keys as
// `controls` does.
void drawScreens(GameState& state, std::mutex& stateLock, Console& console, const PictureLayout& layout,
                 ShownPictures& shown, const ControlNames& controls = {});

// The same in the full picture's layout, remembering nothing.
void drawScreens(GameState& state, std::mutex& stateLock, Console& console);

}  // namespace brickstorm
