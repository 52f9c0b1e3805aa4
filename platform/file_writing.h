#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Writing the files the program keeps for the player (levels, settings, progress, recovery
// copies). A file is never left half written: the new bytes go to a new file beside the old one,
// which is flushed to disk and then renamed over the old one, and the folder is flushed so that
// the rename itself survives a crash. At every moment the file is either the old one or the new
// one, whole. One implementation per platform.
namespace brickstorm::platform {

// How a write went. When it failed, `problem` says why in plain words, ready to follow the
// file's name in a message ("cannot write the new file: No space left on device").
struct FileWriteResult {
    bool written = false;
    std::string problem;

    explicit operator bool() const { return written; }
};

// The steps of a whole-file write, in the order they are taken.
enum class FileWriteStep {
    CreateTemporary,  // the new file beside the old one
    Write,            // its bytes
    Flush,            // its bytes to the disk
    Rename,           // over the old file
    FlushFolder,      // the rename to the disk
};

// Where a write's steps can be made to fail, so that tests can check that no failure at any step
// costs the old file. The system's steps never fail on their own account.
class FileWriteSteps {
public:
    virtual ~FileWriteSteps() = default;

    // The error number that `step` meets instead of being carried out, or 0 to carry it out. A
    // failed Write has written half of the bytes first, as a disk that fills up does.
    virtual int failureAt(FileWriteStep step) {
        static_cast<void>(step);
        return 0;
    }
};

// The steps as the system takes them.
FileWriteSteps& systemFileWriteSteps();

// Replaces the file at `path` with `bytes`, or creates it, so that it is never seen half
// written. An existing file keeps its permissions; a link is followed, and the file it names is
// replaced. On failure the old file is untouched and no new file is left beside it.
FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes,
                                    FileWriteSteps& steps = systemFileWriteSteps());

// Creates the folder at `path` and any folders above it that are missing, open to their owner
// only (they hold what the player keeps). An existing folder is left as it is.
FileWriteResult makeFolders(const std::string& path);

// Removes the file at `path`. True when no file is there afterwards, whether or not there was one.
bool removeFile(const std::string& path);

// When a file was last changed, and its size: enough to tell that it changed since it was read.
struct FileStamp {
    std::int64_t modifiedNanoseconds = 0;  // since the system's epoch
    std::int64_t size = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path`; nothing when there is no such file or it cannot be looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

}  // namespace brickstorm::platform
