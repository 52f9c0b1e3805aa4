#include "app/installed_pack.h"

#include <cstddef>

#ifndef BRICKSTORM_PACK_FOLDER
#define BRICKSTORM_PACK_FOLDER "/usr/local/share/brickstorm/levels"
#endif
#ifndef BRICKSTORM_SOURCE_LEVELS
#define BRICKSTORM_SOURCE_LEVELS ""
#endif

namespace brickstorm::app {

std::string installedPackFolder() { return BRICKSTORM_PACK_FOLDER; }

std::string sourcePackFolder() { return BRICKSTORM_SOURCE_LEVELS; }

std::string packFolder(const std::string& installed, const std::string& source, const FolderLister& list) {
    const auto isFolder = [&](const std::string& folder) {
        return list(folder).status != platform::FolderListStatus::NotAFolder;
    };
    if (isFolder(installed) || source.empty() || !isFolder(source)) {
        return installed;
    }
    return source;
}

std::vector<std::string> levelFilesWithPack(const Options& options, const std::string& folder) {
    std::vector<std::string> files;
    std::size_t place = 0;
    for (std::size_t given = 0; given <= options.levelFiles.size(); ++given) {
        for (; place < options.packPlaces.size() && options.packPlaces[place] == given; ++place) {
            files.push_back(folder);
        }
        if (given < options.levelFiles.size()) {
            files.push_back(options.levelFiles[given]);
        }
    }
    return files;
}

}  // namespace brickstorm::app
