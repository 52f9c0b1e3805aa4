#include "platform/full_path.h"

#include <filesystem>
#include <system_error>

namespace brickstorm::platform {

std::string fullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full =
        std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    if (error) {
        return path;
    }
    return full.string();
}

}  // namespace brickstorm::platform
