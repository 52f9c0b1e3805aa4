#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_reading.h"

namespace brickstorm::testing {

// A file reader over files kept by name, handing each over a few bytes at a time so that a
// reader meets every way a piece can end. Other names are missing; "dir" stands for a
// directory, and "locked" for a file that cannot be read, whose system reason carries a
// control sequence that a message must not pass on raw. Remembers which files were opened.
class FakeFiles {
public:
    static constexpr std::size_t kPieceBytes = 3;

    std::map<std::string, std::string> texts;
    std::vector<std::string> opened;

    platform::FileReadResult operator()(const std::string& path, const platform::FilePieceReader& take) {
        using platform::FileReadStatus;
        opened.push_back(path);
        if (path == "dir") {
            return {FileReadStatus::Directory, {}};
        }
        if (path == "locked") {
            return {FileReadStatus::Unreadable, "Permission denied\x1b[0m"};
        }
        const auto found = texts.find(path);
        if (found == texts.end()) {
            return {FileReadStatus::Missing, {}};
        }
        const std::string_view text = found->second;
        for (std::size_t at = 0; at < text.size(); at += kPieceBytes) {
            if (!take(text.substr(at, kPieceBytes))) {
                return {FileReadStatus::Stopped, {}};
            }
        }
        return {FileReadStatus::Read, {}};
    }
};

}  // namespace brickstorm::testing
