#include "render/palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "render/scene.h"

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

// The shades of each kind in the 256-colour palette, from full brightness to about half: colours
// of the palette's cube, each darker than the one before (by the luminance a terminal shows) and
// of the kind's own hue, no two kinds sharing one. The cube has six levels a channel, so between
// full and half brightness a hue has only a few shades: four each, a new one every quarter of
// the draw distance. The cube colour nearest to each fog step would keep one colour over long
// stretches (the door's from 5 to 17.5 cells) and turn the far blocks olive and grey.
constexpr std::int32_t kPaletteShades = 4;
constexpr std::array<std::array<std::uint8_t, kPaletteShades>, kFaceKindCount> kKindShades{{
    {167, 131, 95, 88},   // brick: 215 95 95, 175 95 95, 135 95 95, 135 0 0
    {137, 101, 94, 58},   // sand: 175 135 95, 135 135 95, 135 95 0, 95 95 0
    {67, 61, 60, 24},     // slate: 95 135 175, 95 95 175, 95 95 135, 0 95 135
    {41, 35, 28, 22},     // green: 0 215 95, 0 175 95, 0 135 0, 0 95 0
    {45, 38, 31, 23},     // cyan: 0 215 255, 0 175 215, 0 135 175, 0 95 95
    {206, 163, 126, 89},  // magenta: 255 95 215, 215 0 175, 175 0 135, 135 0 95
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
    const auto shade =
        static_cast<std::size_t>(std::clamp(step, 0, kFogSteps - 1) * kPaletteShades / kFogSteps);
    return paletteColour(kKindShades[kind][shade]);
}

}  // namespace

std::int32_t fogStep(double depth) {
    if (!(depth > 0.0)) {
        return 0;
    }
    const double step = std::floor(depth / kDrawDistance * kFogSteps);
    return static_cast<std::int32_t>(std::min(step, static_cast<double>(kFogSteps - 1)));
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
    return stepColour(kind, fogStep(depth), colourDepth);
}

}  // namespace brickstorm
