#pragma once

#include <string>
#include <vector>

// Looking into a folder the player names, for a folder of level files. One implementation per
// platform.
namespace brickstorm::platform {

enum class FolderListStatus {
    Listed,      // `names` holds what the folder holds
    NotAFolder,  // the name is a file, or nothing at all
    Unreadable,  // a folder that could not be read; `reason` says why
};

struct FolderListing {
    FolderListStatus status = FolderListStatus::Listed;
    std::vector<std::string> names;  // the entries that are not folders themselves, in no order
    std::string reason;              // the system's words for an unreadable folder
};

// The names of the entries directly in the folder at `path` that are not folders themselves
// (a link counts as what it points to), without "." and "..".
FolderListing listFolder(const std::string& path);

}  // namespace brickstorm::platform
