#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/level_folders.h"

// The pack of levels that comes with the game, which --pack stands for.
namespace brickstorm::app {

// The folder the pack is installed in, fixed when the game is built: <prefix>/share/brickstorm/levels.
std::string installedPackFolder();

// The source tree's levels/ folder that the game was built from: the pack for a game run from
// its build tree, before it is installed.
std::string sourcePackFolder();

// The pack's folder: the installed one, or the source tree's where the installed one is not a
// folder (a game run from its build tree, not installed). The installed one when neither is, so
// that the message about it names the folder the game was built for.
std::string packFolder(const std::string& installed, const std::string& source,
                       const FolderLister& list = platform::listFolder);

// The level files of `options` with the pack's folder where --pack stood: a folder among the
// level files stands for its level files.
std::vector<std::string> levelFilesWithPack(const Options& options, const std::string& folder);

}  // namespace brickstorm::app
