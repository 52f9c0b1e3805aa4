#include "platform/folder_listing.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace brickstorm::platform {

FolderListing listFolder(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        return {FolderListStatus::NotAFolder, {}, {}};
    }
    FolderListing listing;
    std::filesystem::directory_iterator entries(path, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code kindError;
        if (entries->is_directory(kindError)) {
            continue;
        }
        try {
            // In the code page that the command line's names arrive in and that files are
            // opened by; a name it cannot spell could not be opened anyway.
            listing.names.push_back(entries->path().filename().string());
        } catch (const std::system_error&) {
        }
    }
    if (error) {
        return {FolderListStatus::Unreadable, {}, error.message()};
    }
    return listing;
}

}  // namespace brickstorm::platform
