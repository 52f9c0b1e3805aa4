#include "app/level_folders.h"

#include <algorithm>
#include <string_view>

#include "world/display_text.h"

namespace brickstorm::app {

namespace {

constexpr std::string_view kLevelFileEnding = ".lvl";

bool isLevelFileName(std::string_view name) {
    return name.size() > kLevelFileEnding.size() && name.ends_with(kLevelFileEnding) && !name.starts_with('.');
}

// `folder` and `name` joined with one separator; both separators end a folder's name on Windows.
std::string inFolder(const std::string& folder, const std::string& name) {
    const bool endsInSeparator = folder.ends_with('/') || folder.ends_with('\\');
    return folder + (endsInSeparator ? "" : "/") + name;
}

ReportLine folderProblem(const std::string& folder, const std::string& what) {
    return {true, "brickstorm: " + escapedForDisplay(folder) + ": " + what + "\n"};
}

}  // namespace

LevelFileList expandLevelFolders(const std::vector<std::string>& names, const FolderLister& list) {
    LevelFileList result;
    for (const std::string& name : names) {
        platform::FolderListing listing = list(name);
        if (listing.status == platform::FolderListStatus::NotAFolder) {
            result.files.push_back(name);
            continue;
        }
        if (listing.status == platform::FolderListStatus::Unreadable) {
            result.problems.push_back(
                folderProblem(name, "cannot be read: " + escapedForDisplay(listing.reason)));
            continue;
        }
        std::erase_if(listing.names, [](const std::string& entry) { return !isLevelFileName(entry); });
        if (listing.names.empty()) {
            result.problems.push_back(
                folderProblem(name, "a folder without level files (names ending in .lvl)"));
            continue;
        }
        // Strings compare their bytes as unsigned values: the names in byte order.
        std::ranges::sort(listing.names);
        for (const std::string& entry : listing.names) {
            result.files.push_back(inFolder(name, entry));
        }
    }
    return result;
}

}  // namespace brickstorm::app
