#include "render/palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "render/scene.h"
#include "render/whole_numbers.h"

namespace brickstorm {

namespace {

// The hue of each kind at full brightness. The blocks are muted earth and slate colours and
// the exit and the enemies saturated ones, so that what matters stands out from the walls.
// No colour is near white or near black: each keeps its contrast on a light background up close
// and on a dark one when dimmed by the fog.
constexpr std::array<Rgb, kFaceKindCount> kKindRgb{{
    {200, 105, 70},   // block sides along x: brick
    {175, 150, 80},   // block sides along z: sand
    {115, 140, 180},  // tops and bottoms: slate
    {30, 215, 90},    // the exit's door: green
    {30, 195, 225},   // the exit's window: cyan
    {240, 50, 200},   // enemies: magenta
}};

// The basic colours of each kind, near and far: the bright one up close, the normal one from
// half the draw distance on (faint as well, where the terminal shows faint text). Yellow and
// white are left out: bright yellow is lost on a light background.
struct BasicPair {
    std::uint8_t near = 0;
    std::uint8_t far = 0;
};
constexpr std::array<BasicPair, kFaceKindCount> kKindBasic{{
    {9, 1},   // red
    {11, 3},  // yellow: the normal one is brown on most terminals
    {12, 4},  // blue
    {10, 2},  // green
    {14, 6},  // cyan
    {13, 5},  // magenta
}};

// The fog's last step keeps this share of the full colour: dim, but still seen on black.
constexpr double kDimmest = 0.5;

// The shades of each kind in the 256-colour palette, one for each of its fog steps: colours of
// the palette's cube, of the kind's own hue, no two kinds sharing one. Up to half the draw
// distance every step is a new shade, darker than the one before by the luminance a terminal
// shows, so that the floor reads as a gradient and not as bands; beyond it the cube has no
// darker shades of the hue left to give and a shade may last a few steps, never brightening.
// The nearest cube colour to each dimmed hue would keep one colour over long stretches and turn
// the far blocks olive and grey: the cube's levels lie 40 apart and the fog dims by half.
constexpr std::array<std::array<std::uint8_t, kPaletteFogSteps>, kFaceKindCount> kKindShades{{
    // brick: 215 135 95 down to 135 95 95, then the deep reds
    {173, 138, 203, 202, 167, 131, 95, 160, 124, 124, 88, 88, 88, 88, 88},
    // sand: 215 175 95 down to 135 135 0, then the browns
    {179, 143, 137, 136, 101, 100, 166, 130, 94, 94, 94, 58, 58, 58, 58},
    // slate: 135 135 255 down to 95 95 135, then 0 95 135
    {105, 104, 103, 68, 67, 62, 61, 60, 24, 24, 24, 24, 24, 24, 24},
    // green: 0 255 0 down to 0 175 0, then 0 135 0 and 0 95 0
    {46, 42, 41, 72, 40, 71, 35, 34, 28, 28, 28, 28, 22, 22, 22},
    // cyan: 0 215 255 down to 0 135 135, then 0 95 95
    {45, 44, 74, 39, 38, 37, 31, 30, 23, 23, 23, 23, 23, 23, 23},
    // magenta: 255 95 215 down to 175 0 175, then 135 0 135 and 135 0 95
    {206, 170, 169, 133, 201, 200, 164, 163, 127, 127, 126, 126, 90, 90, 89},
}};

Rgb dimmed(Rgb rgb, double brightness) {
    const auto scale = [brightness](std::uint8_t channel) {
        return static_cast<std::uint8_t>(std::lround(channel * brightness));
    };
    return {scale(rgb.red), scale(rgb.green), scale(rgb.blue)};
}

CellColour basicStepColour(std::size_t kind, std::int32_t step, bool faintFar) {
    if (step < kFogSteps / 2) {
        return basicColour(kKindBasic[kind].near);
    }
    return faintFar ? faintBasicColour(kKindBasic[kind].far) : basicColour(kKindBasic[kind].far);
}

CellColour paletteStepColour(std::size_t kind, std::int32_t step) {
    return paletteColour(
        kKindShades[kind][static_cast<std::size_t>(std::clamp(step, 0, kPaletteFogSteps - 1))]);
}

}  // namespace

std::int32_t fogStepCount(ColourDepth colourDepth) {
    return colourDepth == ColourDepth::Palette256 ? kPaletteFogSteps : kFogSteps;
}

std::int32_t fogStep(double depth, std::int32_t steps) {
    if (!(depth > 0.0)) {
        return 0;
    }
    const double step = flooredWhole(depth / kDrawDistance * steps);
    return static_cast<std::int32_t>(std::min(step, static_cast<double>(steps - 1)));
}

double fogBrightness(std::int32_t step) {
    const std::int32_t clamped = std::clamp(step, 0, kFogSteps - 1);
    return 1.0 - (1.0 - kDimmest) * clamped / (kFogSteps - 1);
}

CellColour stepColour(FaceKind kind, std::int32_t step, ColourDepth colourDepth) {
    const auto k = static_cast<std::size_t>(kind);
    switch (colourDepth) {
    case ColourDepth::Basic16: return basicStepColour(k, step, false);
    case ColourDepth::Basic16Faint: return basicStepColour(k, step, true);
    case ColourDepth::Palette256: return paletteStepColour(k, step);
    case ColourDepth::Direct24: return directColour(dimmed(kKindRgb[k], fogBrightness(step)));
    }
    return kNoColour;
}

CellColour faceColour(FaceKind kind, double depth, ColourDepth colourDepth) {
    return stepColour(kind, fogStep(depth, fogStepCount(colourDepth)), colourDepth);
}

}  // namespace brickstorm
