#pragma once

#include <cstdint>

namespace brickstorm {

// How many colours the terminal shows: the 16 basic ones, the 256-colour palette, or any
// 24-bit colour; or the 16 basic ones on a terminal that also shows faint text, which gives the
// far half of the view a third, darker shade of each.
enum class ColourDepth : std::uint8_t { Basic16, Palette256, Direct24, Basic16Faint };

// A foreground colour as the terminal is told it, in one comparable value: kNoColour (the
// terminal's own foreground), a basic colour 0 to 15, a palette index 0 to 255, or red, green
// and blue. The top byte says which; the rest is the index or the three channels.
using CellColour = std::uint32_t;

inline constexpr CellColour kNoColour = 0;
inline constexpr std::uint32_t kColourValueMask = 0x00ffffffU;
inline constexpr std::uint32_t kBasicColourTag = 0x01000000U;
inline constexpr std::uint32_t kPaletteColourTag = 0x02000000U;
inline constexpr std::uint32_t kDirectColourTag = 0x03000000U;
inline constexpr std::uint32_t kColourTagMask = 0xff000000U;

// Red, green and blue, each 0 to 255.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A basic colour written faint (SGR 2): the colour's own hue, darker.
inline constexpr std::uint32_t kFaintFlag = 0x100U;

constexpr CellColour basicColour(std::uint8_t index) { return kBasicColourTag | (index & 0x0fU); }
constexpr CellColour faintBasicColour(std::uint8_t index) { return basicColour(index) | kFaintFlag; }
constexpr bool isFaint(CellColour colour) {
    return (colour & kColourTagMask) == kBasicColourTag && (colour & kFaintFlag) != 0;
}
constexpr CellColour paletteColour(std::uint8_t index) { return kPaletteColourTag | index; }
constexpr CellColour directColour(Rgb rgb) {
    return kDirectColourTag | (static_cast<std::uint32_t>(rgb.red) << 16U) |
           (static_cast<std::uint32_t>(rgb.green) << 8U) | rgb.blue;
}

// The red, green and blue that a terminal with the usual (xterm) palette shows for `colour`
// (a faint one at half its brightness, as on a black background); black for kNoColour.
Rgb shownRgb(CellColour colour);

// How bright `colour` looks: its relative luminance from 0 (black) to 1 (white).
double luminance(CellColour colour);

}  // namespace brickstorm
