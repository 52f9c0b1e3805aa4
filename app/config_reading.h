#pragma once

#include <span>
#include <string>
#include <string_view>

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

// The options that a configuration file's settings give, on top of the defaults.
Options optionsFrom(const settings::ConfigSettings& file);

// "brickstorm: FILE:LINE: what" and a line break; the name escaped.
std::string configProblemLine(const std::string& file, const settings::ConfigProblem& problem);

}  // namespace brickstorm::app
