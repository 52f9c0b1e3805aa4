#include "app/command_line.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "app/config_reading.h"
#include "app/exit_status.h"
#include "app/installed_pack.h"
#include "app/option_table.h"
#include "app/progress_keeping.h"
#include "world/display_text.h"
#include "world/level_file.h"

#ifndef BRICKSTORM_VERSION
#define BRICKSTORM_VERSION "unknown"
#endif

namespace brickstorm::app {

namespace {

constexpr std::string_view kProgramName = "brickstorm";

// What may go with what, once every option has been read: the first mistake, if any.
std::optional<std::string> conflictOf(const OptionsReading& reading) {
    const Options& options = reading.options;
    const bool checkOnly = reading.checkOnly;
    const bool levelGiven = reading.gave("--level");
    if (options.configFile && options.noConfig) {
        return "--config and --no-config together: choose one";
    }
    if (options.continueGame && levelGiven) {
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
    if (options.replayFile && (levelGiven || options.continueGame)) {
        return std::string(levelGiven ? "--level" : "--continue") +
               " cannot go with --replay: the recording says where its run starts";
    }
    if (options.newLevelSize && !options.editFile) {
        return "--size goes with --edit: it is the size of a new level";
    }
    if (options.editFile && (checkOnly || !options.levelFiles.empty() || !options.packPlaces.empty())) {
        return "--edit opens one level file, with no level files to play or check";
    }
    if (options.editFile && (options.recordFile || options.replayFile || levelGiven || options.continueGame)) {
        return "--edit goes with none of --record, --replay, --level and --continue";
    }
    if (reading.gave("--speed") && !options.replayFile) {
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

// "--color always": the word after an option whose value can only be attached is a level file,
// but when it is one of the option's values the player almost certainly meant the value, and a
// game started with a level file called "always" would only puzzle them. The mistake, if so.
std::optional<std::string> valueWithoutEquals(const OptionRow& row, const OptionsReading& reading,
                                              std::string_view next) {
    OptionsReading scratch = reading;
    if (row.apply(scratch, next)) {
        return std::nullopt;  // not a value of the option: a level file
    }
    return std::string(row.name) + " takes its value only after '=': write " + std::string(row.name) + "=" +
           escapedForDisplay(next) + ", or ./" + escapedForDisplay(next) + " for a level file of that name";
}

// Reads the option that `arguments[i]` is into `reading`, with its value, which may be the next
// argument (`i` then moves past it); the mistake, if any.
std::optional<std::string> takeOption(OptionsReading& reading, std::span<const std::string_view> arguments,
                                      std::size_t& i) {
    const auto [name, attached] = splitOption(arguments[i]);
    const OptionRow* row = optionNamed(name);
    if (row == nullptr) {
        return "unknown option " + quotedForDisplay(arguments[i]);
    }
    if (attached && row->value == OptionValue::None) {
        return "option " + quotedForDisplay(name) + " takes no value";
    }
    std::string_view value = attached.value_or(row->valueAlone);
    if (!attached && (row->value == OptionValue::Required || row->value == OptionValue::FileName)) {
        if (i + 1 == arguments.size()) {
            return "option " + quotedForDisplay(name) + " needs a value";
        }
        value = arguments[++i];
    }
    if (row->value == OptionValue::FileName && value.empty()) {
        return "option " + quotedForDisplay(name) + " needs a file name";
    }
    if (!attached && row->value == OptionValue::Attached && i + 1 < arguments.size()) {
        if (auto mistake = valueWithoutEquals(*row, reading, arguments[i + 1])) {
            return mistake;
        }
    }
    if (const Refusal refusal = row->apply(reading, value)) {
        return "bad value " + quotedForDisplay(value) + " for " + std::string(row->name) + ": " + *refusal;
    }
    reading.given.push_back(row->name);
    return std::nullopt;
}

}  // namespace

CommandLine parseCommandLine(std::span<const std::string_view> arguments, const Options& base) {
    OptionsReading reading;
    reading.options = base;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || argument.empty() || argument == "-" || !argument.starts_with('-')) {
            reading.options.levelFiles.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (auto mistake = takeOption(reading, arguments, i)) {
            return usageError(std::move(*mistake));
        }
        if (reading.action == Action::ShowHelp || reading.action == Action::ShowVersion) {
            CommandLine line;
            line.action = reading.action;
            line.options = std::move(reading.options);
            return line;
        }
    }
    if (auto error = levelCountError(reading.options.levelFiles.size(), 1)) {
        return usageError(std::move(*error));
    }
    if (auto conflict = conflictOf(reading)) {
        return usageError(std::move(*conflict));
    }
    CommandLine line;
    line.options = std::move(reading.options);
    if (line.options.editFile) {
        line.action = Action::Edit;
    } else if (line.options.replayFile) {
        line.action = reading.checkOnly ? Action::CheckReplay : Action::Replay;
    } else if (reading.checkOnly) {
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

// The paragraphs of --help that are not laid out by hand are broken into lines of at most this.
constexpr std::size_t kHelpWidth = 80;

// `text` broken at blanks into lines of at most kHelpWidth characters, each ending in a line
// break.
std::string wrapped(std::string_view text) {
    std::string lines;
    std::size_t lineStart = 0;
    while (!text.empty()) {
        const auto blank = text.find(' ');
        const std::string_view word = text.substr(0, blank);
        if (lines.size() > lineStart) {
            if (lines.size() - lineStart + 1 + word.size() > kHelpWidth) {
                lines += '\n';
                lineStart = lines.size();
            } else {
                lines += ' ';
            }
        }
        lines += word;
        text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
    }
    return lines + "\n";
}

// The configuration file's paragraph: its names are those of the options table.
std::string settingsHelpText() {
    return wrapped(
        "Settings: lines 'name = value' in a configuration file give options without typing them: the "
        "name is a long option without its dashes (" +
        listed(settingNames(), ", ") + "), with true or false for " + listed(switchSettingNames(), " and ") +
        ". 'key ACTION = KEY' binds a key: ACTION is forward, back, turn-left, turn-right, "
        "step-left, step-right, climb or shoot, KEY one printable character (case matters) or "
        "space, left, right, up or down. Lines that start with '#' are comments. The command line "
        "wins over the file. On an AZERTY keyboard, the one line 'keys = azerty' gives z q s d.");
}

// One status for each kind of failure, as app/exit_status.h numbers them.
std::string exitStatusHelpText() {
    return wrapped(
        "Exit status: " + std::to_string(kExitSuccess) +
        " after --help, --version, a --check of good files or of a replay that kept in step, and "
        "after a replay; " +
        std::to_string(kExitLevelFileError) +
        " when a level file cannot be used or does not fit a recording (one message for each problem "
        "on standard error, before "
        "the terminal is touched); " +
        std::to_string(kExitUsageError) + " for a mistake on the command line or in the configuration file; " +
        std::to_string(kExitUnfitTerminal) + " when the terminal cannot show the game; " +
        std::to_string(kExitRecordingError) +
        " when a recording cannot be read, or the file to record to cannot be written; " +
        std::to_string(kExitReplayOutOfStep) + " when a replay goes out of step; " +
        std::to_string(kExitWriteFailed) + " when a file the game keeps could not be written in full.");
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
)" + optionsHelpText() +
           R"(
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

)" + settingsHelpText() +
           filesText(folders) + R"(
Example: record a run of the pack, check it, replay it at double speed:
  brickstorm --record run.rec levels/
  brickstorm --replay run.rec --check
  brickstorm --replay run.rec --speed 2

)" + exitStatusHelpText() +
           R"(The manual page brickstorm(6) says more.
)";
}

std::string versionText() { return std::string(kProgramName) + " " + BRICKSTORM_VERSION + "\n"; }

std::string usageErrorLine(std::string_view error) {
    return std::string(kProgramName) + ": " + std::string(error) + " (see 'brickstorm --help')\n";
}

}  // namespace brickstorm::app
