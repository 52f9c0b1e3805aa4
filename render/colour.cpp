#include "render/colour.h"

#include <array>
#include <cstddef>

namespace brickstorm {

namespace {

// The 16 basic colours as xterm shows them: the normal eight, then the bright eight.
constexpr std::array<Rgb, 16> kBasicRgb{{
    {0, 0, 0},
    {205, 0, 0},
    {0, 205, 0},
    {205, 205, 0},
    {0, 0, 238},
    {205, 0, 205},
    {0, 205, 205},
    {229, 229, 229},
    {127, 127, 127},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {92, 92, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

// The 256-colour palette: the basic 16, a 6 x 6 x 6 cube, then 24 greys.
constexpr std::size_t kCubeStart = 16;
constexpr std::size_t kGreyStart = 232;
constexpr std::array<std::uint8_t, 6> kCubeLevels{0, 95, 135, 175, 215, 255};
constexpr int kGreyFirst = 8;
constexpr int kGreyStep = 10;

Rgb paletteRgb(std::uint32_t index) {
    if (index < kCubeStart) {
        return kBasicRgb[index];
    }
    if (index >= kGreyStart) {
        const auto grey =
            static_cast<std::uint8_t>(kGreyFirst + kGreyStep * static_cast<int>(index - kGreyStart));
        return {grey, grey, grey};
    }
    const std::uint32_t cube = index - kCubeStart;
    return {kCubeLevels[cube / 36], kCubeLevels[(cube / 6) % 6], kCubeLevels[cube % 6]};
}

}  // namespace

Rgb shownRgb(CellColour colour) {
    const std::uint32_t value = colour & kColourValueMask;
    switch (colour & kColourTagMask) {
    case kBasicColourTag: {
        const Rgb rgb = kBasicRgb[value & 0x0fU];
        if (!isFaint(colour)) {
            return rgb;
        }
        const auto half = [](std::uint8_t channel) { return static_cast<std::uint8_t>(channel / 2); };
        return {half(rgb.red), half(rgb.green), half(rgb.blue)};
    }
    case kPaletteColourTag: return paletteRgb(value & 0xffU);
    case kDirectColourTag:
        return {static_cast<std::uint8_t>(value >> 16U), static_cast<std::uint8_t>(value >> 8U),
                static_cast<std::uint8_t>(value)};
    default: return {};
    }
}

double luminance(CellColour colour) {
    // The weights of the eye's response to the three channels, on the channel values as sent:
    // good enough to order colours of one hue by brightness.
    constexpr double kRed = 0.2126;
    constexpr double kGreen = 0.7152;
    constexpr double kBlue = 0.0722;
    constexpr double kFull = 255.0;
    const Rgb rgb = shownRgb(colour);
    return (kRed * rgb.red + kGreen * rgb.green + kBlue * rgb.blue) / kFull;
}

}  // namespace brickstorm
