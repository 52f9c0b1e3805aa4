#include "platform/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace brickstorm::platform {

namespace {

// Closes the folder on every way out of the listing.
class OpenFolder {
public:
    explicit OpenFolder(DIR* folder) : folder_(folder) {}
    ~OpenFolder() {
        if (folder_ != nullptr) {
            ::closedir(folder_);
        }
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    DIR* get() const { return folder_; }

private:
    DIR* folder_;
};

// True when `path` is a folder, following links.
bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

FolderListing listFolder(const std::string& path) {
    if (!isFolder(path)) {
        return {FolderListStatus::NotAFolder, {}, {}};
    }
    const OpenFolder folder(::opendir(path.c_str()));
    if (folder.get() == nullptr) {
        return {FolderListStatus::Unreadable, {}, std::strerror(errno)};
    }
    const std::string prefix = path.ends_with('/') ? path : path + "/";
    FolderListing listing;
    errno = 0;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && !isFolder(prefix + std::string(name))) {
            listing.names.emplace_back(name);
        }
        errno = 0;
    }
    if (errno != 0) {
        return {FolderListStatus::Unreadable, {}, std::strerror(errno)};
    }
    return listing;
}

}  // namespace brickstorm::platform
