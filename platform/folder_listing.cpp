#include "platform/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

// The standard library's folder listing serves every platform the same way.
namespace brickstorm::platform {

namespace {

constexpr std::string_view kLevelFileEnding = ".lvl";

}  // namespace

std::optional<std::vector<std::string>> levelFilesIn(const std::string& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    if (error) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (; entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (error) {
            return std::nullopt;
        }
        std::string name = entry->path().filename().string();
        std::error_code typeError;
        if (name.size() > kLevelFileEnding.size() && name.ends_with(kLevelFileEnding) &&
            !entry->is_directory(typeError)) {
            names.push_back(std::move(name));
        }
    }
    // std::string compares its bytes as unsigned values: the byte order of the names.
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.empty() || folder.ends_with('/') ? folder : folder + "/";
    for (std::string& name : names) {
        name = prefix + name;
    }
    return names;
}

}  // namespace brickstorm::platform
