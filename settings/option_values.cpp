#include "settings/option_values.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

#include "screens/picture_layout.h"

namespace brickstorm::settings {

namespace {

// A number as a person would write it: the shortest decimal that reads back as the same value
// (0.25, 8).
std::string numberText(double value) {
    std::array<char, 32> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc{} ? std::string(digits.data(), end) : std::string("?");
}

}  // namespace

std::string cellAspectValues() {
    return "a number from " + numberText(kLeastCellAspect) + " to " + numberText(kGreatestCellAspect) +
           ", a cell's height over its width";
}

std::optional<double> readCellAspect(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc{} || stop != end || !std::isfinite(value) ||
        value < kLeastCellAspect || value > kGreatestCellAspect) {
        return std::nullopt;
    }
    return value;
}

std::optional<terminal::ColourWhen> readColourWhen(std::string_view text) {
    if (text == "always") {
        return terminal::ColourWhen::Always;
    }
    if (text == "auto") {
        return terminal::ColourWhen::Auto;
    }
    if (text == "never") {
        return terminal::ColourWhen::Never;
    }
    return std::nullopt;
}

std::optional<ColourDepth> readColourDepth(std::string_view text) {
    if (text == "16") {
        return ColourDepth::Basic16;
    }
    if (text == "256") {
        return ColourDepth::Palette256;
    }
    if (text == "24") {
        return ColourDepth::Direct24;
    }
    return std::nullopt;
}

std::optional<bool> readSwitch(std::string_view text) {
    if (text == "true") {
        return true;
    }
    if (text == "false") {
        return false;
    }
    return std::nullopt;
}

}  // namespace brickstorm::settings
