#include "app/installed_pack.h"

#include <cstddef>

#include "world/display_text.h"

#ifndef BRICKSTORM_PACK_FOLDER
#define BRICKSTORM_PACK_FOLDER "/usr/local/share/brickstorm/levels"
#endif
#ifndef BRICKSTORM_SOURCE_LEVELS
#define BRICKSTORM_SOURCE_LEVELS ""
#endif

namespace brickstorm::app {

std::string installedPackFolder() { return BRICKSTORM_PACK_FOLDER; }

std::string sourcePackFolder() { return BRICKSTORM_SOURCE_LEVELS; }

PackFiles findPack(const std::string& installed, const std::string& source, const FolderLister& list) {
    if (auto files = list(installed)) {
        return {installed, std::move(files)};
    }
    if (!source.empty()) {
        if (auto files = list(source)) {
            return {source, std::move(files)};
        }
    }
    return {installed, std::nullopt};
}

std::vector<std::string> levelFilesWithPack(const Options& options,
                                            const std::vector<std::string>& packFiles) {
    std::vector<std::string> files;
    std::size_t place = 0;
    for (std::size_t given = 0; given <= options.levelFiles.size(); ++given) {
        for (; place < options.packPlaces.size() && options.packPlaces[place] == given; ++place) {
            files.insert(files.end(), packFiles.begin(), packFiles.end());
        }
        if (given < options.levelFiles.size()) {
            files.push_back(options.levelFiles[given]);
        }
    }
    return files;
}

std::optional<std::string> packProblem(const PackFiles& pack) {
    if (!pack.files) {
        return "the level pack's folder " + quotedForDisplay(pack.folder) + " cannot be read";
    }
    if (pack.files->empty()) {
        return "the level pack's folder " + quotedForDisplay(pack.folder) + " holds no level files";
    }
    return std::nullopt;
}

}  // namespace brickstorm::app
