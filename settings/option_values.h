#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "render/colour.h"
#include "terminal/colour_choice.h"

// The values the options take, as the command line and the configuration file both write them.
namespace brickstorm::settings {

// A plain decimal number (0.25, 8, 16.0) from `least` to `greatest`; nothing for anything else.
std::optional<double> readDecimal(std::string_view text, double least, double greatest);

// A number as a person would write it: the shortest decimal that reads back as it (0.25, 8).
std::string numberText(double value);

// A cell's height over its width: a plain decimal number within the range of real fonts
// (kLeastCellAspect to kGreatestCellAspect); outside it, most likely a typing mistake.
std::optional<double> readCellAspect(std::string_view text);

// "always", "auto" or "never".
std::optional<terminal::ColourWhen> readColourWhen(std::string_view text);

// The number of colours, "16", "256" or "24" standing for 24-bit colour.
std::optional<ColourDepth> readColourDepth(std::string_view text);

// "true" or "false".
std::optional<bool> readSwitch(std::string_view text);

// What each kind of value may be, for the messages about a bad one. The cell aspect's range is
// written from the limits the game applies, so the message cannot drift from them.
std::string cellAspectValues();
inline constexpr std::string_view kColourWhenValues = "always, auto or never";
inline constexpr std::string_view kColourDepthValues = "16, 256 or 24";
inline constexpr std::string_view kSwitchValues = "true or false";
inline constexpr std::string_view kKeyLayoutValues = "qwerty or azerty";

}  // namespace brickstorm::settings
