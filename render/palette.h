#pragma once

#include <cstdint>

#include "render/colour.h"
#include "render/face.h"

namespace brickstorm {

// Distance fog: how many brightness steps lie between the camera and the draw distance. Few
// enough to keep the runs of one colour long (each change costs a control sequence), many
// enough that the steps are not seen as bands.
inline constexpr std::int32_t kFogSteps = 12;

// The fog step of a face `depth` cells in front of the camera: 0 at the camera, kFogSteps - 1
// at the draw distance and beyond; never smaller for a greater depth.
std::int32_t fogStep(double depth);

// The brightness of a fog step, as a share of the full colour: 1 at step 0, falling evenly to
// the dimmest at the last.
double fogBrightness(std::int32_t step);

// The colour of a face of `kind` at fog step `step`.
CellColour stepColour(FaceKind kind, std::int32_t step, ColourDepth colourDepth);

// The colour of a cell filled by a face of `kind` that lies `depth` cells in front of the camera.
CellColour faceColour(FaceKind kind, double depth, ColourDepth colourDepth);

}  // namespace brickstorm
