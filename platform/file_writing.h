#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Writing the files the program keeps for the player (levels, settings, progress, recovery
// copies, recordings). A file is never left half written: the new bytes go to a new file beside
// the old one, which is flushed to disk and then renamed over the old one, and the folder is
// flushed so that the rename itself survives a crash. At every moment the file is either the old
// one or the new one, whole.
//
// A rename replaces a name, not a file, so it is only done where it keeps everything the old file
// was: never over a device, a pipe or a folder (those are refused), and never where it would break
// a hard link, give the file another owner or group, or where no new file can be made beside it.
// There the file is written in place instead, as any editor does, after the caller has been given
// the chance to put the same bytes somewhere safe first. One implementation per platform.
namespace brickstorm::platform {

// How a write went. When it failed, `problem` says why in plain words, ready to follow the
// file's name in a message ("cannot write the new file: No space left on device").
struct FileWriteResult {
    bool written = false;
    std::string problem;

    explicit operator bool() const { return written; }
};

// The steps of a whole-file write, in the order they are taken. A write in place takes only
// Write and Flush, on the file itself.
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

// Called just before a file is written in place, where a crash in the middle would leave it cut:
// the caller puts the same bytes somewhere safe (the editor's recovery copy) and says whether that
// worked. A failure stops the write, and its problem is the write's.
using BeforeWritingInPlace = std::function<FileWriteResult()>;

// Replaces the file at `path` with `bytes`, or creates it, so that it is never seen half
// written. An existing file keeps its permissions, owner, group and hard links; a link is
// followed, to the file it names (a dangling link: the file is created where it points). Only a
// regular file is written: anything else at the name is left as it is, and the write fails with
// "a device, not a regular file" (or a pipe, a socket, a folder). On failure the old file is
// untouched, and no new file is left beside it, save after a failed write in place, which only
// happens after `beforeInPlace` (when given) has succeeded. Temporary files that a write killed
// half-way left in the folder are removed by the next write there.
FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes,
                                    FileWriteSteps& steps = systemFileWriteSteps(),
                                    const BeforeWritingInPlace& beforeInPlace = {});

// What `path` is, when it is, or leads to, something other than a regular file or a missing one
// ("a device, not a regular file"), as the write would refuse it; looked at before anything is
// written. Nothing otherwise (a name that cannot even be looked at included: the write says why).
std::optional<std::string> unwritableKind(const std::string& path);

// Creates the folder at `path` and any folders above it that are missing, open to their owner
// only (they hold what the player keeps). An existing folder is left as it is.
FileWriteResult makeFolders(const std::string& path);

// Removes the file at `path`. True when no file is there afterwards, whether or not there was one.
bool removeFile(const std::string& path);

// Which file a name leads to, when it was last changed, and its size: with its contents, enough
// to tell that it changed since it was read, even if it was replaced by another file of the same
// size and time.
struct FileStamp {
    std::int64_t modifiedNanoseconds = 0;  // since the system's epoch
    std::int64_t size = 0;
    std::uint64_t device = 0;  // with the inode, which file it is (0 where the system has none)
    std::uint64_t inode = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path`; nothing when there is no such file or it cannot be looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

// An advisory lock that copies of the program take in turn on a lock file: while one holds it,
// another cannot. It is let go, and its file removed, when the lock is destroyed or the process
// ends in any way (a crash or a kill included), so that no stale lock can stop anyone.
class FileLock {
public:
    enum class State {
        Held,    // this lock is held
        Busy,    // someone else held it for the whole wait
        Failed,  // the lock file cannot be made: `problem` says why
    };

    // Takes the lock of the file `path` (made if missing), waiting up to `wait` for another
    // holder to let go: never longer, as the other may be stuck.
    static FileLock take(const std::string& path, std::chrono::milliseconds wait);

    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    const std::string& problem() const { return problem_; }

private:
    void release();

    State state_ = State::Failed;
    std::string path_;
    std::string problem_;
    std::intptr_t handle_ = -1;  // the system's descriptor or handle for the held lock file
};

// Keeps the system from ending the program when a write meets the player's limit on file sizes
// (ulimit -f): the write fails with "File too large" instead, told like any other failed write,
// and nothing is lost. Idempotent; every write here makes sure of it too.
void keepFileSizeLimitFromEndingTheProgram();

}  // namespace brickstorm::platform
