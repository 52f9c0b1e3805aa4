#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "render/colour.h"
#include "settings/key_bindings.h"
#include "terminal/colour_choice.h"

// The configuration file: the options a player wants every time, and keys for their keyboard.
// Pure: the text in, the settings or the first mistake out.
//
//   # a comment line
//   color = auto
//   fit = true
//   keys = azerty
//   key shoot = f
//
// A line is blank, a comment (its first non-blank character is '#'), `name = value` with the name
// of a long option without its dashes, or `key ACTION = KEY`. Blanks around names and values are
// ignored; a later line for the same setting replaces an earlier one.
namespace brickstorm::settings {

// A configuration file bigger than this is not one: most likely a wrong file was named.
inline constexpr std::size_t kMaxConfigFileBytes = std::size_t{64} * 1024;

// The settings a file gives; a setting the file does not give is empty.
struct ConfigSettings {
    std::optional<bool> fit;
    std::optional<double> cellAspect;
    std::optional<bool> fullRedraw;
    std::optional<terminal::ColourWhen> colour;
    std::optional<ColourDepth> colourDepth;
    std::optional<KeyBindings> keys;  // when the file sets a layout or a key
};

// The first mistake in a file, and the line it is on (from 1).
struct ConfigProblem {
    int line = 0;
    std::string what;  // safe to show: whatever it repeats from the file is escaped

    friend bool operator==(const ConfigProblem&, const ConfigProblem&) = default;
};

using ConfigResult = std::variant<ConfigSettings, ConfigProblem>;

// Reads the whole text of a configuration file.
ConfigResult readConfigText(std::string_view text);

}  // namespace brickstorm::settings
