#pragma once

#include <cstdint>

#include "render/colour.h"
#include "render/face.h"

namespace brickstorm {

// Distance fog: how many brightness steps lie between the camera and the draw distance. Few
// enough to keep the runs of one colour long (each change costs a control sequence), many
// enough that the steps are not seen as bands.
inline constexpr std::int32_t kFogSteps = 12;
// At 256 colours a step every 2 cells: the palette's shades are coarse, and on a floor seen at a
// slant a shade 2.5 cells deep already covers many lines, so each step must be a new shade.
inline constexpr std::int32_t kPaletteFogSteps = 15;
inline constexpr std::int32_t kMostFogSteps = kPaletteFogSteps;

// The fog steps at a colour depth: kPaletteFogSteps at 256 colours, kFogSteps otherwise.
std::int32_t fogStepCount(ColourDepth colourDepth);

// The fog step of a face `depth` cells in front of the camera, of `steps` from the camera to the
// draw distance: 0 at the camera, steps - 1 at the draw distance and beyond; never smaller for a
// greater depth.
std::int32_t fogStep(double depth, std::int32_t steps = kFogSteps);

// The brightness of a fog step (of kFogSteps), as a share of the full colour: 1 at step 0,
// falling evenly to the dimmest at the last.
double fogBrightness(std::int32_t step);

// The colour of a face of `kind` at fog step `step` of the colour depth's fogStepCount.
CellColour stepColour(FaceKind kind, std::int32_t step, ColourDepth colourDepth);

// The colour of a cell filled by a face of `kind` that lies `depth` cells in front of the camera.
CellColour faceColour(FaceKind kind, double depth, ColourDepth colourDepth);

}  // namespace brickstorm
