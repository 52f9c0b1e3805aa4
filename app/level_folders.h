#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/level_files.h"
#include "platform/folder_listing.h"

// A folder among the level files: it stands for the level files directly in it.
namespace brickstorm::app {

// How folders are looked into: the platform's listing, or a stand-in in tests.
using FolderLister = std::function<platform::FolderListing(const std::string&)>;

// The level files that the names on the command line stand for.
struct LevelFileList {
    std::vector<std::string> files;    // every name that is not a folder, and the files of each folder
    std::vector<ReportLine> problems;  // one for each folder that cannot be used
};

// Each name that is a folder becomes the files in it whose names end in ".lvl" (hidden ones,
// starting with '.', left out), in byte order of their names; every other name stays as it is.
// An empty or unreadable folder is a problem.
LevelFileList expandLevelFolders(const std::vector<std::string>& names,
                                 const FolderLister& list = platform::listFolder);

}  // namespace brickstorm::app
