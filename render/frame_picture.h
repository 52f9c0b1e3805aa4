#pragma once

#include <optional>

#include "render/colour.h"
#include "render/frame_buffer.h"
#include "render/picture.h"

namespace brickstorm {

// The picture of a frame as the console shows it: every row's cells (blank where empty) closed
// by the edge. With a colour depth, each filled cell is in the colour of the face that filled
// it, by its kind and its distance; without one, and for blanks and the edge, uncoloured.
Picture framePicture(const FrameBuffer& frame, std::optional<ColourDepth> depth);

// framePicture (with `withEdge`) or viewPicture into `into`, whose lines keep their memory where
// they are long enough: a frame drawn into the last frame's picture allocates nothing.
void paintFramePicture(const FrameBuffer& frame, std::optional<ColourDepth> depth, bool withEdge,
                       Picture& into);

// The same without the edge: the 3D view alone, to be placed in a larger picture.
Picture viewPicture(const FrameBuffer& frame, std::optional<ColourDepth> depth);

}  // namespace brickstorm
