#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "settings/key_bindings.h"

// The configuration file: the options a player wants every time, and keys for their keyboard.
// Pure: the text in, the key lines or the first mistake out.
//
//   # a comment line
//   color = auto
//   fit = true
//   keys = azerty
//   key shoot = f
//
// A line is blank, a comment (its first non-blank character is '#'), `name = value` with the name
// of a long option without its dashes, or `key ACTION = KEY`. Blanks around names and values are
// ignored; a later line for the same setting replaces an earlier one. Which names there are, and
// what their values may be, is the program's table of options: the file's reader hands each
// `name = value` line to the caller, and keeps the key lines, which are its own.
namespace brickstorm::settings {

// A configuration file bigger than this is not one: most likely a wrong file was named.
inline constexpr std::size_t kMaxConfigFileBytes = std::size_t{64} * 1024;

// The first mistake in a file, and the line it is on (from 1).
struct ConfigProblem {
    int line = 0;
    std::string what;  // safe to show: whatever it repeats from the file is escaped

    friend bool operator==(const ConfigProblem&, const ConfigProblem&) = default;
};

// Takes one `name = value` line (not a key line): the message for a mistake in it (an unknown name,
// a bad value), safe to show, or nothing.
using SettingTaker = std::function<std::optional<std::string>(std::string_view name, std::string_view value)>;

// A key line, where it was, so that a clash can name both lines.
struct KeyLine {
    Key key;
    int line = 0;
};

// The key lines of a file: for each action the last line that binds it, if any.
using ConfigKeyLines = std::array<std::optional<KeyLine>, kActionCount>;

// Reads the whole text of a configuration file, handing each setting line to `take` in order; the
// key lines, or the first mistake (a line's own, or the one `take` found).
std::variant<ConfigKeyLines, ConfigProblem> readConfigText(std::string_view text, const SettingTaker& take);

// True when the file binds any key.
bool anyKeyLine(const ConfigKeyLines& lines);

// `start` (the layout's keys) with the key lines on top. Two actions on one key are a mistake,
// told on the line of the key that came last.
std::variant<KeyBindings, ConfigProblem> boundKeys(const KeyBindings& start, const ConfigKeyLines& lines);

}  // namespace brickstorm::settings
