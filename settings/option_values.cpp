#include "settings/option_values.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

#include "screens/picture_layout.h"

namespace brickstorm::settings {

// The shortest decimal that reads back as the same value.
std::string numberText(double value) {
    std::array<char, 32> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc{} ? std::string(digits.data(), end) : std::string("?");
}

// Fixed notation only: "1e1" or "inf" is not how a person writes a cell's shape or a speed.
std::optional<double> readDecimal(std::string_view text, double least, double greatest) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc{} || stop != end || !std::isfinite(value) || value < least ||
        value > greatest) {
        return std::nullopt;
    }
    return value;
}

std::string cellAspectValues() {
    return "a number from " + numberText(kLeastCellAspect) + " to " + numberText(kGreatestCellAspect) +
           ", a cell's height over its width";
}

std::optional<double> readCellAspect(std::string_view text) {
    return readDecimal(text, kLeastCellAspect, kGreatestCellAspect);
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
