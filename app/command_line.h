#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user_folders.h"
#include "settings/key_bindings.h"
#include "terminal/colour_choice.h"

// The program's command line: read before anything else is set up, so that a mistake in it
// never touches the terminal.
namespace brickstorm::app {

// The most level files one command line takes: the level numbers shown on the level screen
// have room for three digits.
inline constexpr std::size_t kMostLevelFiles = 999;

// What the player asked for with options; the defaults are the game as designed.
struct Options {
    bool fit = false;                  // the fitted layout even in a window large enough for the full picture
    std::optional<double> cellAspect;  // a cell's height over its width, instead of asking the terminal
    bool fullRedraw = false;           // send every frame whole instead of only what changed
    terminal::ColourWhen colour = terminal::ColourWhen::Never;  // when the 3D view is coloured
    std::optional<ColourDepth> colourDepth{};  // how many colours, instead of what the terminal names
    std::vector<std::string> levelFiles;       // the game's levels in order, instead of the built-in table
    // Where --pack stood among the level files: each entry the number of files named before it.
    // The installed pack's level files go there.
    std::vector<std::size_t> packPlaces;
    int startLevel = 1;          // the level the game starts at, from 1
    settings::KeyBindings keys;  // the keys for the player's actions

    // What the game keeps between runs: a configuration file that gives the options above when
    // the command line does not, and the progress in each set of levels.
    std::optional<std::string> configFile;  // the configuration file instead of the usual one
    bool noConfig = false;                  // no configuration file at all
    bool continueGame = false;              // start at the highest level reached before
    bool noState = false;                   // progress neither read nor written
    std::optional<std::string> recordFile;  // where the run is recorded as it is played
    std::optional<std::string> replayFile;  // the recording to play back instead of a game
    double speed = 1.0;                     // a replay's pace, as a multiple of the game's
    bool replayAnyVersion = false;          // replay a recording made by another version too
    std::optional<std::string> editFile;    // the level file to open in the editor
    std::optional<std::array<std::int32_t, 3>> newLevelSize;  // x, y and z of a new level in the editor
};

// What the program does with its command line.
enum class Action {
    Play,           // start the game
    Check,          // check the level files and report, without starting the game
    Replay,         // play a recording back in the terminal
    CheckReplay,    // replay a recording without a terminal and report on it
    Edit,           // open the level file in the editor
    ShowHelp,       // print the usage on standard output
    ShowVersion,    // print the name and version on standard output
    UsageError,     // print `error` on standard error and fail
    SettingsError,  // print `error`, a whole message about the configuration file, and fail
};

struct CommandLine {
    Action action = Action::Play;
    Options options;
    std::string error;  // with UsageError: one line, safe to show (no raw control bytes)
};

// Reads the arguments after the program name, each option as its row in the options table
// (app/option_table.h) says. Options come in any order before or among the level files; "--"
// ends the options, so a file whose name starts with '-' can still be given. Starts from `base`
// (what the configuration file gives): what the arguments do not set stays as it is there, and
// what they set replaces it.
CommandLine parseCommandLine(std::span<const std::string_view> arguments, const Options& base = {});

// The mistake, if any, in a list of `levelFiles` level files (folders already stood in for by
// their files) with the game to start at `startLevel`: too many files, or a start beyond the
// last one. Without files the built-in table has a level for every number.
std::optional<std::string> levelCountError(std::size_t levelFiles, int startLevel);

// The text of --help: a synopsis and every option, and where the files of `folders` are, ending
// in a line break.
std::string usageText(const platform::UserFolders& folders = {});

// The text of --version: the program's name and version, ending in a line break.
std::string versionText();

// How a usage error is shown: the program's name, the message and where to find the usage.
std::string usageErrorLine(std::string_view error);

}  // namespace brickstorm::app
