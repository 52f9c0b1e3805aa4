#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace brickstorm::testing {

// A scratch folder of a test's own in the system's temporary folder, made empty and readable
// by its owner only, and removed with everything in it when the test is done.
class TempFolder {
public:
    // The folder's name is `prefix` and a random number, tried until one is free.
    explicit TempFolder(std::string_view prefix) {
        namespace fs = std::filesystem;
        std::random_device random;
        fs::path candidate;
        do {
            candidate = fs::temp_directory_path() / (std::string(prefix) + std::to_string(random()));
        } while (!fs::create_directory(candidate));
        fs::permissions(candidate, fs::perms::owner_all);
        path_ = candidate.string();
    }
    ~TempFolder() {
        std::error_code ignored;  // a test that failed half-way may leave it in any state
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace brickstorm::testing
