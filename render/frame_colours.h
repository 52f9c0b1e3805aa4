#pragma once

#include "render/colour.h"
#include "render/console.h"
#include "render/frame_buffer.h"

namespace brickstorm {

// The colour of every cell of `frame` as frameText() lays it out: each filled cell in the colour
// of the face that filled it, empty cells and the closing edge uncoloured.
FrameColours frameColours(const FrameBuffer& frame, ColourDepth depth);

}  // namespace brickstorm
