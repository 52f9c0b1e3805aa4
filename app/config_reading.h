#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "app/command_line.h"
#include "app/level_files.h"
#include "settings/config_file.h"

// The configuration file under the command line: read after the command line has said which file
// (or none) and before anything else is set up, so that a mistake in it never touches the
// terminal.
namespace brickstorm::app {

// The file name of the configuration file in the settings folder.
inline constexpr std::string_view kConfigFileName = "brickstorm.conf";

// The usual configuration file in `settingsFolder`; empty when there is no settings folder.
std::string usualConfigFile(const std::string& settingsFolder);

// Reads the command line, and under it the configuration file that it names, or else the usual
// one, `usualConfig`, if that exists. What the command line gives wins over what the file gives.
// A mistake in the file, or a file named on the command line that cannot be read, gives
// Action::SettingsError with its message. The file is read only to play.
CommandLine readSettings(std::span<const std::string_view> arguments, const std::string& usualConfig,
                         const FileReader& read = platform::readFilePieces);

// The options that the text of a configuration file gives, on top of the defaults, or its first
// mistake. Its names and their values are those of the options table: `name = value` does what
// `--name=value` does (a switch is true or false), and its key lines bind keys on top of the
// layout it names.
std::variant<Options, settings::ConfigProblem> configOptions(std::string_view text);

// "brickstorm: FILE:LINE: what" and a line break; the name escaped.
std::string configProblemLine(const std::string& file, const settings::ConfigProblem& problem);

}  // namespace brickstorm::app
