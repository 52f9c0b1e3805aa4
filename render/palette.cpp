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
// half the draw distance on. Yellow and white are left out: bright yellow is lost on a light
// background.
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

// The fog's last step keeps this share of the full colour: dim, but still seen on black, and
// still apart from the blocks in the 256-colour palette, whose darker levels lie far apart.
constexpr double kDimmest = 0.5;

// The 256-colour cube's levels per channel, and where the cube starts in the palette.
constexpr std::array<int, 6> kCubeLevels{0, 95, 135, 175, 215, 255};
constexpr int kCubeStart = 16;

// The index of the cube level nearest to `value`; a larger value never gets a smaller index.
int nearestCubeLevel(int value) {
    int best = 0;
    for (int i = 1; i < static_cast<int>(kCubeLevels.size()); ++i) {
        if (std::abs(kCubeLevels[static_cast<std::size_t>(i)] - value) <
            std::abs(kCubeLevels[static_cast<std::size_t>(best)] - value)) {
            best = i;
        }
    }
    return best;
}

Rgb dimmed(Rgb rgb, double brightness) {
    const auto scale = [brightness](std::uint8_t channel) {
        return static_cast<std::uint8_t>(std::lround(channel * brightness));
    };
    return {scale(rgb.red), scale(rgb.green), scale(rgb.blue)};
}

CellColour nearestPaletteColour(Rgb rgb) {
    const int index = kCubeStart + 36 * nearestCubeLevel(rgb.red) + 6 * nearestCubeLevel(rgb.green) +
                      nearestCubeLevel(rgb.blue);
    return paletteColour(static_cast<std::uint8_t>(index));
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
    case ColourDepth::Basic16:
        return basicColour(step < kFogSteps / 2 ? kKindBasic[k].near : kKindBasic[k].far);
    case ColourDepth::Palette256: return nearestPaletteColour(dimmed(kKindRgb[k], fogBrightness(step)));
    case ColourDepth::Direct24: return directColour(dimmed(kKindRgb[k], fogBrightness(step)));
    }
    return kNoColour;
}

CellColour faceColour(FaceKind kind, double depth, ColourDepth colourDepth) {
    return stepColour(kind, fogStep(depth), colourDepth);
}

}  // namespace brickstorm
