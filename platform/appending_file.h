#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// A file that grows as the program goes, such as a recording written while the game is played.
// One implementation per platform.
namespace brickstorm::platform {

// How an append went: how many bytes were added, and why not all of them if not.
struct AppendResult {
    std::size_t added = 0;
    std::string problem;  // empty when every byte was added; else plain words to follow the name

    bool complete() const { return problem.empty(); }
};

class AppendingFile {
public:
    // Opens the existing file at `path` to add to its end; see isOpen() and problem().
    explicit AppendingFile(const std::string& path);
    ~AppendingFile();
    AppendingFile(const AppendingFile&) = delete;
    AppendingFile& operator=(const AppendingFile&) = delete;

    bool isOpen() const;
    // Why the file could not be opened, in plain words to follow its name.
    const std::string& problem() const;

    // Adds `bytes` at the end, handing them to the system at once: from then on they are kept
    // even if the program is killed or crashes, though not if the machine goes down before the
    // system has written them out. On failure the first `added` of them are in the file.
    AppendResult append(std::string_view bytes);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace brickstorm::platform
