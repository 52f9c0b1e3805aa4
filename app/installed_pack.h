#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"

// The pack of levels that comes with the game, which --pack stands for.
namespace brickstorm::app {

// The folder the pack is installed in, fixed when the game is built: <prefix>/share/brickstorm/levels.
std::string installedPackFolder();

// The source tree's levels/ folder that the game was built from: the pack for a game run from
// its build tree, before it is installed.
std::string sourcePackFolder();

// Lists the level files of a folder in order; nothing when it cannot be read.
using FolderLister = std::function<std::optional<std::vector<std::string>>(const std::string& folder)>;

// The pack's level files and the folder they are in; no files when neither folder can be read.
struct PackFiles {
    std::string folder;  // the folder the files come from, or the installed one when none could be read
    std::optional<std::vector<std::string>> files;
};

// The installed pack, or the source tree's where the installed folder cannot be read (a game
// run from its build tree, not installed).
PackFiles findPack(const std::string& installed, const std::string& source, const FolderLister& list);

// The level files of `options` with the pack's files where --pack stood.
std::vector<std::string> levelFilesWithPack(const Options& options, const std::vector<std::string>& packFiles);

// Why the pack cannot be played, as one line after the program's name; nothing when it can.
std::optional<std::string> packProblem(const PackFiles& pack);

}  // namespace brickstorm::app
