#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/colour_choice.h"

// The program's command line: read before anything else is set up, so that a mistake in it
// never touches the terminal.
namespace brickstorm::app {

// What the player asked for with options; the defaults are the game as designed.
struct Options {
    bool fit = false;                  // the fitted layout even in a window large enough for the full picture
    std::optional<double> cellAspect;  // a cell's height over its width, instead of asking the terminal
    bool fullRedraw = false;           // send every frame whole instead of only what changed
    terminal::ColourWhen colour = terminal::ColourWhen::Never;  // when the 3D view is coloured
    std::optional<ColourDepth> colourDepth{};  // how many colours, instead of what the terminal names
    std::vector<std::string> levelFiles;       // the game's levels in order, instead of the built-in table
    int startLevel = 1;                        // the level the game starts at, from 1
    std::optional<std::string> editFile;       // the level file to open in the editor
    std::optional<std::array<std::int32_t, 3>> newLevelSize;  // x, y and z of a new level in the editor
};

// What the program does with its command line.
enum class Action {
    Play,         // start the game
    Check,        // check the level files and report, without starting the game
    ShowHelp,     // print the usage on standard output
    ShowVersion,  // print the name and version on standard output
    Edit,         // open the level file in the editor
    UsageError,   // print `error` on standard error and fail
};

struct CommandLine {
    Action action = Action::Play;
    Options options;
    std::string error;  // with UsageError: one line, safe to show (no raw control bytes)
};

// Reads the arguments after the program name. Options come in any order before or among the
// level files; "--" ends the options, so a file whose name starts with '-' can still be given.
CommandLine parseCommandLine(std::span<const std::string_view> arguments);

// The mistake, if any, in a list of `levelFiles` level files (folders already stood in for by
// their files) with the game to start at `startLevel`: too many files, or a start beyond the
// last one. Without files the built-in table has a level for every number.
std::optional<std::string> levelCountError(std::size_t levelFiles, int startLevel);

// The text of --help: a synopsis and every option, ending in a line break.
std::string usageText();

// The text of --version: the program's name and version, ending in a line break.
std::string versionText();

// How a usage error is shown: the program's name, the message and where to find the usage.
std::string usageErrorLine(std::string_view error);

}  // namespace brickstorm::app
