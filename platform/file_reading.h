#pragma once

#include <functional>
#include <string>
#include <string_view>

// Reading a file the player names, for the level files. One implementation per platform.
namespace brickstorm::platform {

enum class FileReadStatus {
    Read,        // the whole file went to the reader
    Stopped,     // the reader wanted no more
    Missing,     // there is no such file
    Directory,   // the name is a directory
    Unreadable,  // it could not be opened or read; `reason` says why
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Read;
    std::string reason;  // the system's words for an unreadable file
};

// Takes one piece of the file; false when it wants no more.
using FilePieceReader = std::function<bool(std::string_view piece)>;

// Reads the file at `path` from its start, handing each piece to `take` as it arrives, until the
// file ends or `take` wants no more. Never holds more than one piece: a file without end (a
// device, a pipe) costs no more memory than a short one.
FileReadResult readFilePieces(const std::string& path, const FilePieceReader& take);

}  // namespace brickstorm::platform
