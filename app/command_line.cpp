#include "app/command_line.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "app/config_reading.h"
#include "app/installed_pack.h"
#include "app/progress_keeping.h"
#include "screens/picture_layout.h"
#include "settings/option_values.h"
#include "world/display_text.h"
#include "world/level_file.h"

#ifndef BRICKSTORM_VERSION
#define BRICKSTORM_VERSION "unknown"
#endif

namespace brickstorm::app {

namespace {

constexpr std::string_view kProgramName = "brickstorm";

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

// XxYxZ of --size: three sizes from 1 to 999 whose cells fit the largest level.
std::optional<std::array<std::int32_t, 3>> readLevelSize(std::string_view text) {
    std::array<std::int32_t, 3> sizes{};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto cross = i + 1 < sizes.size() ? text.find('x') : text.size();
        const std::string_view digits = text.substr(0, cross);
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, sizes[i]);
        if (digits.empty() || error != std::errc{} || stop != end || sizes[i] < 1 ||
            sizes[i] > kMaxLevelFileSize || cross == std::string_view::npos || digits.front() == '+') {
            return std::nullopt;
        }
        text.remove_prefix(std::min(cross + 1, text.size()));
    }
    if (std::int64_t{sizes[0]} * sizes[1] * sizes[2] > kMaxLevelCells) {
        return std::nullopt;
    }
    return sizes;
}

// F of --speed F: how many times as fast as the game a replay may go.
constexpr double kSlowestSpeed = 0.25;
constexpr double kFastestSpeed = 16.0;

// Options whose value alone cannot tell whether they were given.
struct GivenOptions {
    bool level = false;
    bool speed = false;
};

// What may go with what, once every option has been read: the first mistake, if any.
std::optional<std::string> conflictOf(const Options& options, bool checkOnly, const GivenOptions& given) {
    if (options.configFile && options.noConfig) {
        return "--config and --no-config together: choose one";
    }
    if (options.continueGame && given.level) {
        return "--continue and --level together: choose one";
    }
    if (options.continueGame && options.noState) {
        return "--continue needs the progress that --no-state leaves alone: choose one";
    }
    if (options.recordFile && options.replayFile) {
        return "--record and --replay cannot go together";
    }
    if (options.recordFile && checkOnly) {
        return "--record records a game, and --check plays none";
    }
    if (options.replayFile && (given.level || options.continueGame)) {
        return std::string(given.level ? "--level" : "--continue") +
               " cannot go with --replay: the recording says where its run starts";
    }
    if (options.newLevelSize && !options.editFile) {
        return "--size goes with --edit: it is the size of a new level";
    }
    if (options.editFile && (checkOnly || !options.levelFiles.empty() || !options.packPlaces.empty())) {
        return "--edit opens one level file, with no level files to play or check";
    }
    if (options.editFile &&
        (options.recordFile || options.replayFile || given.level || options.continueGame)) {
        return "--edit goes with none of --record, --replay, --level and --continue";
    }
    if (given.speed && !options.replayFile) {
        return "--speed goes with --replay";
    }
    if (options.replayAnyVersion && !options.replayFile) {
        return "--replay-any-version goes with --replay";
    }
    return std::nullopt;
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

CommandLine parseCommandLine(std::span<const std::string_view> arguments, const Options& base) {
    using settings::readCellAspect;
    using settings::readColourDepth;
    using settings::readColourWhen;
    CommandLine line;
    line.options = base;
    bool checkOnly = false;
    GivenOptions given;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || argument.empty() || argument == "-" || !argument.starts_with('-')) {
            line.options.levelFiles.emplace_back(argument);
            continue;
        }
        const auto [name, attached] = splitOption(argument);
        const bool takesValue = name == "--cell-aspect" || name == "--color-depth" || name == "--level" ||
                                name == "--config" || name == "--keys" || name == "--record" ||
                                name == "--replay" || name == "--speed" || name == "--edit" ||
                                name == "--size";
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
        } else if (name == "--pack") {
            line.options.packPlaces.push_back(line.options.levelFiles.size());
        } else if (name == "--no-config") {
            line.options.noConfig = true;
        } else if (name == "--continue") {
            line.options.continueGame = true;
        } else if (name == "--no-state") {
            line.options.noState = true;
        } else if (name == "--replay-any-version") {
            line.options.replayAnyVersion = true;
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
            if (name == "--config") {
                line.options.configFile = std::string(value);
                continue;
            }
            if (name == "--edit") {
                line.options.editFile = std::string(value);
                continue;
            }
            if (name == "--size") {
                line.options.newLevelSize = readLevelSize(value);
                if (!line.options.newLevelSize) {
                    return usageError("bad value " + quotedForDisplay(value) +
                                      " for --size: XxYxZ, each from 1 to " +
                                      std::to_string(kMaxLevelFileSize) + ", at most " +
                                      std::to_string(kMaxLevelCells) + " cells in all");
                }
                continue;
            }
            if (name == "--record" || name == "--replay") {
                if (value.empty()) {
                    return usageError("option " + quotedForDisplay(name) + " needs a file name");
                }
                (name == "--record" ? line.options.recordFile : line.options.replayFile) = std::string(value);
                continue;
            }
            if (name == "--speed") {
                const auto speed = settings::readDecimal(value, kSlowestSpeed, kFastestSpeed);
                if (!speed) {
                    return usageError("bad value " + quotedForDisplay(value) + " for --speed: a number from " +
                                      settings::numberText(kSlowestSpeed) + " to " +
                                      settings::numberText(kFastestSpeed));
                }
                line.options.speed = *speed;
                given.speed = true;
                continue;
            }
            if (name == "--keys") {
                const auto layout = settings::keyLayoutNamed(value);
                if (!layout) {
                    return usageError("bad value " + quotedForDisplay(value) +
                                      " for --keys: qwerty or azerty");
                }
                line.options.keys = settings::KeyBindings::forLayout(*layout);
                continue;
            }
            if (name == "--level") {
                const auto number = readLevelNumber(value);
                if (!number) {
                    return usageError("bad value " + quotedForDisplay(value) +
                                      " for --level: a whole number from 1 to " +
                                      std::to_string(kMostLevelFiles));
                }
                line.options.startLevel = *number;
                given.level = true;
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
                return usageError("bad value " + quotedForDisplay(value) + " for " + std::string(name) + ": " +
                                  settings::cellAspectValues());
            }
        } else {
            return usageError("unknown option " + quotedForDisplay(argument));
        }
    }
    if (auto error = levelCountError(line.options.levelFiles.size(), 1)) {
        return usageError(std::move(*error));
    }
    if (auto conflict = conflictOf(line.options, checkOnly, given)) {
        return usageError(std::move(*conflict));
    }
    if (line.options.editFile) {
        line.action = Action::Edit;
        return line;
    }
    if (line.options.replayFile) {
        line.action = checkOnly ? Action::CheckReplay : Action::Replay;
        return line;
    }
    if (checkOnly) {
        if (line.options.levelFiles.empty() && line.options.packPlaces.empty()) {
            return usageError("--check needs at least one level file or --pack");
        }
        line.action = Action::Check;
    }
    return line;
}

std::optional<std::string> levelCountError(std::size_t levelFiles, int startLevel) {
    if (levelFiles > kMostLevelFiles) {
        return "too many level files: at most " + std::to_string(kMostLevelFiles);
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

// Where the configuration file is looked for and the progress is kept, for this environment.
std::string filesText(const platform::UserFolders& folders) {
#ifdef _WIN32
    const char* places = "(in %APPDATA% and %LOCALAPPDATA%)";
#else
    const char* places =
        "(in $XDG_CONFIG_HOME and $XDG_STATE_HOME when they are set to absolute\nfolders, else in "
        "~/.config and ~/.local/state)";
#endif
    const auto shown = [](const std::string& file) {
        return file.empty() ? std::string("nowhere: there is no home folder") : escapedForDisplay(file);
    };
    return "The configuration file is looked for in\n  " + shown(usualConfigFile(folders.settings)) +
           "\nand the progress in each set of levels is kept in\n  " + shown(progressFile(folders.state)) +
           "\n" + places + ".\n";
}

}  // namespace

std::string usageText(const platform::UserFolders& folders) {
    return R"(Usage: brickstorm [OPTION]... [LEVEL_FILE]...
       brickstorm --check LEVEL_FILE...
       brickstorm [--check] --pack
       brickstorm --replay FILE [--check] [OPTION]... [LEVEL_FILE]...
       brickstorm --edit FILE [--size XxYxZ] [OPTION]...
A first-person block-world shooter in the text terminal.

Without level files the game plays its built-in levels. With them, the files are the
game's levels in the order given (at most )" +
           std::to_string(kMostLevelFiles) + R"(). A folder stands for the files in it
whose names end in .lvl, in byte order of their names: 'brickstorm levels/' plays a
pack.

Options:
  --fit              fit the picture to the window even when the window could hold
                     the full 90 x 60 picture
  --cell-aspect R    a terminal cell's height over its width (for example 2 for an
                     ordinary font, 1 for a square one); by default the terminal's
                     own report, or 2. The full 90 x 60 picture is made for square
                     cells and shown only on them; on any other shape the picture
                     is fitted to the window, so that cubes look like cubes
  --full-redraw      send every frame whole instead of only the cells that changed
  --color[=WHEN]     colour the 3D view: WHEN is always (the same as --color alone),
                     auto (when standard output is a terminal, TERM is not dumb and
                     NO_COLOR is unset or empty) or never (the default)
  --color-depth N    16, 256 or 24 (24-bit) colours, instead of what COLORTERM and
                     TERM name
  --check            check the level files and print a line about each; do not play.
                     With --replay: replay without the terminal, as fast as it
                     goes, check every recorded state, and print a line for each
                     attempt at a level and a total
  --edit FILE        open FILE in the level editor (a new level if it does not exist)
  --size XxYxZ       the size of that new level (default 16x8x16): a floor, the start
                     and the exit, so that it can be played at once
  --pack             the level files of the pack that comes with the game, in order,
                     where the option stands among the level files
  --level N          start at level N (1 to 999, at most the number of level files);
                     after the closing screen the game starts again there
  --config FILE      read the settings from FILE instead of the usual configuration
                     file (below)
  --no-config        read no configuration file
  --keys LAYOUT      the keys of a keyboard layout: qwerty (w a s d, the game's own)
                     or azerty (z q s d in their place)
  --continue         start at the highest level reached before with these levels
  --no-state         neither read nor write the progress kept between games
  --record FILE      write the run to FILE as it is played (an existing FILE is
                     replaced); everything up to the last second is kept whatever
                     ends the program
  --replay FILE      play the run recorded in FILE back, tick for tick: Space
                     pauses and resumes, Ctrl+C ends it, and after its last tick
                     any key. Level files given stand in for the recorded ones
  --speed F          replay F times as fast: 0.25 to 16
  --replay-any-version
                     replay a recording made by another version of the game
  -h, --help         show this help and exit
  --version          show the version and exit

Level files: plain text, the three sizes x, y and z as three digits each (for
example 015 006 015), then one letter per cell: the layers from the floor up, each
layer's rows from the far one to the near one, each row from left to right.
Letters: b block, 0 empty, E exit (one at least), p the player's start (exactly
one), e an enemy's start. Blanks, tabs and line ends are ignored anywhere, and a
)" + levelLimitsText() +
           R"(.
The pack of levels that comes with the game is in
)" + installedPackFolder() +
           R"(
(--pack plays it; run from its build tree, the game takes the source tree's levels/).

Keys: w/s step forward/back, a/d turn left/right, left/right arrows step sideways,
Space climb, r shoot; any key leaves a text screen. Ctrl+C ends the game.

Editor keys: arrows move (up is farther), PgUp/PgDn or +/- change layer; b, 0, E,
p, e set the cell (block, empty, exit, the start, an enemy), Space toggles a block;
v marks a corner of a box, and a letter then fills it; u undo, r redo; [ and ]
turn the 3D view, Tab shows it from the start; g or s then an arrow, PgUp or PgDn
grows or shrinks the level on that side; t play-tests (Tab comes back); Ctrl+S
saves; q quits (asking first about unsaved changes). The mouse, where the terminal
reports it: a click moves the cursor, a drag paints. While there are unsaved
changes a recovery copy is kept in the folder of the progress file (below) and
offered the next time FILE is opened.

Settings: lines 'name = value' in a configuration file give options without
typing them: the name is a long option without its dashes (fit, cell-aspect,
full-redraw, color, color-depth, keys), with true or false for fit and
full-redraw. 'key ACTION = KEY' binds a key: ACTION is forward, back, turn-left,
turn-right, step-left, step-right, climb or shoot, KEY one printable character
(case matters) or space, left, right, up or down. Lines that start with '#' are
comments. The command line wins over the file. On an AZERTY keyboard, the one
line 'keys = azerty' gives z q s d.
)" + filesText(folders) +
           R"(
Example: record a run of the pack, check it, replay it at double speed:
  brickstorm --record run.rec levels/
  brickstorm --replay run.rec --check
  brickstorm --replay run.rec --speed 2

Exit status: 0 after --help, --version, a --check of good files or of a replay
that kept in step, and after a replay; 1 when a level file or a recording cannot
be used (one message for each problem on standard error, before the terminal is
touched), a replay goes out of step, or the terminal fails; 2 for a mistake on
the command line or in the configuration file.
The manual page brickstorm(6) says more.
)";
}

std::string versionText() { return std::string(kProgramName) + " " + BRICKSTORM_VERSION + "\n"; }

std::string usageErrorLine(std::string_view error) {
    return std::string(kProgramName) + ": " + std::string(error) + " (see 'brickstorm --help')\n";
}

}  // namespace brickstorm::app
