#include "app/command_line.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <utility>

#include "screens/picture_layout.h"
#include "world/display_text.h"
#include "world/level_file.h"

#ifndef BRICKSTORM_VERSION
#define BRICKSTORM_VERSION "unknown"
#endif

namespace brickstorm::app {

namespace {

constexpr std::string_view kProgramName = "brickstorm";
// The level numbers shown on the level screen have room for three digits.
constexpr std::size_t kMostLevelFiles = 999;
// A cell aspect as written on the command line: a plain decimal number within the range of real
// fonts (kLeastCellAspect to kGreatestCellAspect); outside it, most likely a typing mistake.
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

// N of --level N: a whole level number, as the level screen can show it.
std::optional<int> readLevelNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || value < 1 ||
        value > static_cast<int>(kMostLevelFiles)) {
        return std::nullopt;
    }
    return value;
}

// WHEN of --color=WHEN.
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

// N of --color-depth N: the number of colours, 24 standing for 24-bit colour.
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

// XxYxZ of --size: three sizes from 1 to 999 whose cells fit the largest level.
std::optional<std::array<std::int32_t, 3>> readLevelSize(std::string_view text) {
    std::array<std::int32_t, 3> sizes{};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto cross = i + 1 < sizes.size() ? text.find('x') : text.size();
        const std::string_view digits = text.substr(0, cross);
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, sizes[i]);
        if (digits.empty() || digits.size() > 3 || error != std::errc{} || stop != end || sizes[i] < 1 ||
            cross == std::string_view::npos || digits.front() == '+') {
            return std::nullopt;
        }
        text.remove_prefix(std::min(cross + 1, text.size()));
    }
    if (std::int64_t{sizes[0]} * sizes[1] * sizes[2] > kMaxLevelCells) {
        return std::nullopt;
    }
    return sizes;
}

CommandLine usageError(std::string message) {
    CommandLine line;
    line.action = Action::UsageError;
    line.error = std::move(message);
    return line;
}

// Splits "--name=value" into its name and value; anything else is a name alone.
struct OptionWord {
    std::string_view name;
    std::optional<std::string_view> value;
};

OptionWord splitOption(std::string_view argument) {
    const auto equals = argument.find('=');
    if (!argument.starts_with("--") || equals == std::string_view::npos) {
        return {argument, std::nullopt};
    }
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

}  // namespace

CommandLine parseCommandLine(std::span<const std::string_view> arguments) {
    CommandLine line;
    bool checkOnly = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || argument.empty() || argument == "-" || !argument.starts_with('-')) {
            line.options.levelFiles.emplace_back(argument);
            continue;
        }
        const auto [name, attached] = splitOption(argument);
        const bool takesValue = name == "--cell-aspect" || name == "--color-depth" || name == "--level" ||
                                name == "--edit" || name == "--size";
        const bool mayTakeValue = takesValue || name == "--color";
        if (attached && !mayTakeValue) {
            return usageError("option " + quotedForDisplay(name) + " takes no value");
        }
        if (name == "--") {
            optionsEnded = true;
        } else if (name == "-h" || name == "--help") {
            line.action = Action::ShowHelp;
            return line;
        } else if (name == "--version") {
            line.action = Action::ShowVersion;
            return line;
        } else if (name == "--fit") {
            line.options.fit = true;
        } else if (name == "--full-redraw") {
            line.options.fullRedraw = true;
        } else if (name == "--check") {
            checkOnly = true;
        } else if (name == "--color") {
            // The value is optional, so it is only ever attached: "--color never" would be
            // the option followed by a level file named "never".
            const auto when = attached ? readColourWhen(*attached) : terminal::ColourWhen::Always;
            if (!when) {
                return usageError("bad value " + quotedForDisplay(*attached) +
                                  " for --color: always, auto or never");
            }
            line.options.colour = *when;
        } else if (takesValue) {
            if (!attached && i + 1 == arguments.size()) {
                return usageError("option " + quotedForDisplay(name) + " needs a value");
            }
            const std::string_view value = attached ? *attached : arguments[++i];
            if (name == "--edit") {
                line.options.editFile = std::string(value);
                continue;
            }
            if (name == "--size") {
                line.options.newLevelSize = readLevelSize(value);
                if (!line.options.newLevelSize) {
                    return usageError("bad value " + quotedForDisplay(value) +
                                      " for --size: XxYxZ, each from 1 to " + "999, at most " +
                                      std::to_string(kMaxLevelCells) + " cells in all");
                }
                continue;
            }
            if (name == "--level") {
                const auto number = readLevelNumber(value);
                if (!number) {
                    return usageError("bad value " + quotedForDisplay(value) +
                                      " for --level: a whole number from 1 to 999");
                }
                line.options.startLevel = *number;
                continue;
            }
            if (name == "--color-depth") {
                line.options.colourDepth = readColourDepth(value);
                if (!line.options.colourDepth) {
                    return usageError("bad value " + quotedForDisplay(value) +
                                      " for --color-depth: 16, 256 or 24");
                }
                continue;
            }
            line.options.cellAspect = readCellAspect(value);
            if (!line.options.cellAspect) {
                return usageError("bad value " + quotedForDisplay(value) + " for " + std::string(name) +
                                  ": a number from 0.25 to 8, a cell's height over its width");
            }
        } else {
            return usageError("unknown option " + quotedForDisplay(argument));
        }
    }
    if (line.options.newLevelSize && !line.options.editFile) {
        return usageError("--size goes with --edit: it is the size of a new level");
    }
    if (line.options.editFile) {
        if (checkOnly || !line.options.levelFiles.empty()) {
            return usageError("--edit opens one level file, with no level files to play or check");
        }
        line.action = Action::Edit;
        return line;
    }
    if (auto error = levelCountError(line.options.levelFiles.size(), 1)) {
        return usageError(std::move(*error));
    }
    if (checkOnly) {
        if (line.options.levelFiles.empty()) {
            return usageError("--check needs at least one level file");
        }
        line.action = Action::Check;
    }
    return line;
}

std::optional<std::string> levelCountError(std::size_t levelFiles, int startLevel) {
    if (levelFiles > kMostLevelFiles) {
        return "too many level files: at most 999";
    }
    if (levelFiles > 0 && static_cast<std::size_t>(startLevel) > levelFiles) {
        return "--level " + std::to_string(startLevel) + " is beyond the last level file, level " +
               std::to_string(levelFiles);
    }
    return std::nullopt;
}

namespace {

// The limits of a level file, as the usage states them.
std::string levelLimitsText() {
    return "line that starts with '#' is a comment. A level has at most " + std::to_string(kMaxLevelCells) +
           " cells\nand " + std::to_string(kMaxLevelEnemies) + " enemies, and a file at most " +
           std::to_string(kMaxLevelFileBytes) + " bytes";
}

}  // namespace

std::string usageText() {
    return R"(Usage: brickstorm [OPTION]... [LEVEL_FILE]...
       brickstorm --check LEVEL_FILE...
       brickstorm --edit FILE [--size XxYxZ] [OPTION]...
A first-person block-world shooter in the text terminal.

Without level files the game plays its built-in levels. With them, the files are the
game's levels in the order given (at most 999). A folder stands for the files in it
whose names end in .lvl, in byte order of their names: 'brickstorm levels/' plays a
pack.

Options:
  --fit              fit the picture to the window even when the window could hold
                     the full 90 x 60 picture
  --cell-aspect R    a terminal cell's height over its width (for example 2 for an
                     ordinary font, 1 for a square one); by default the terminal's
                     own report, or 2
  --full-redraw      send every frame whole instead of only the cells that changed
  --color[=WHEN]     colour the 3D view: WHEN is always (the same as --color alone),
                     auto (when standard output is a terminal, TERM is not dumb and
                     NO_COLOR is unset or empty) or never (the default)
  --color-depth N    16, 256 or 24 (24-bit) colours, instead of what COLORTERM and
                     TERM name
  --check            check the level files and print a line about each; do not play
  --edit FILE        open FILE in the level editor (a new level if it does not exist)
  --size XxYxZ       the size of that new level (default 16x8x16): a floor, the start
                     and the exit, so that it can be played at once
  --level N          start at level N (1 to 999, at most the number of level files);
                     after the closing screen the game starts again there
  -h, --help         show this help and exit
  --version          show the version and exit

Level files: plain text, the three sizes x, y and z as three digits each (for
example 015 006 015), then one letter per cell: the layers from the floor up, each
layer's rows from the far one to the near one, each row from left to right.
Letters: b block, 0 empty, E exit (one at least), p the player's start (exactly
one), e an enemy's start. Blanks, tabs and line ends are ignored anywhere, and a
)" + levelLimitsText() +
           R"(. A pack of levels to
start with is installed in share/brickstorm/levels (for example in
/usr/local/share/brickstorm/levels).

Keys: w/s step forward/back, a/d turn left/right, left/right arrows step sideways,
Space climb, r shoot; any key leaves a text screen. Ctrl+C ends the game.

Editor keys: arrows move (up is farther), PgUp/PgDn or +/- change layer; b, 0, E,
p, e set the cell (block, empty, exit, the start, an enemy), Space toggles a block;
v marks a corner of a box, and a letter then fills it; u undo, r redo; [ and ]
turn the 3D view, Tab shows it from the start; g or s then an arrow, PgUp or PgDn
grows or shrinks the level on that side; t play-tests (Tab comes back); Ctrl+S
saves; q quits (asking first about unsaved changes). The mouse, where the terminal
reports it: a click moves the cursor, a drag paints. While there are unsaved
changes a recovery copy is kept in $XDG_STATE_HOME/brickstorm (by default
~/.local/state/brickstorm) and offered the next time FILE is opened.

Exit status: 0 after --help, --version or a --check of good files; 1 when a level
file cannot be used (one message for each such file on standard error, before
the terminal is touched) or the terminal fails; 2 for a mistake on the command
line.
The manual page brickstorm(6) says more.
)";
}

std::string versionText() { return std::string(kProgramName) + " " + BRICKSTORM_VERSION + "\n"; }

std::string usageErrorLine(std::string_view error) {
    return std::string(kProgramName) + ": " + std::string(error) + " (see 'brickstorm --help')\n";
}

}  // namespace brickstorm::app
