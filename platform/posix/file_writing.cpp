#include "platform/file_writing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace brickstorm::platform {

namespace {

// New files get what the player's umask leaves of read and write for everyone, as an editor's
// files do; folders for the player's own things stay private.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kNewFolderMode = 0700;
constexpr mode_t kPermissionBits = 07777;

FileWriteResult failed(const char* what, int error) {
    return {false, std::string(what) + ": " + std::strerror(error)};
}

// Closes the descriptor on every way out, unless it was closed on purpose.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return fd_; }
    // The error number of the close, or 0: a close can be where a delayed write fails.
    int close() {
        if (fd_ < 0) {
            return 0;
        }
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// The file that `path` finally names, through any links: replacing the link itself would turn
// the player's link into a plain file and leave the file it pointed to as it was.
std::string finalTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return path;  // a dangling link: the rename replaces the link, as writing through it would fail
    }
    return resolved;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name beside `path` that no other write of this process or another one takes at once.
std::string temporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t count = ::write(fd, data, size);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return 0;
}

int flushFolder(const std::string& folder) {
    const Descriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.fd() < 0) {
        return errno;
    }
    // Some file systems cannot flush a folder and say so; the rename is as safe there as they
    // make it.
    if (::fsync(descriptor.fd()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return errno;
    }
    return 0;
}

// The new file created beside the old one, with its permissions, and its bytes written and
// flushed to the disk.
FileWriteResult fillTemporary(const std::string& temporary, const std::string& target, std::string_view bytes,
                              FileWriteSteps& steps) {
    int error = steps.failureAt(FileWriteStep::CreateTemporary);
    Descriptor file(
        error != 0 ? -1 : ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    if (error == 0 && file.fd() < 0) {
        error = errno;
    }
    if (error != 0) {
        return failed("cannot create the new file beside it", error);
    }
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        // Best effort for the owner: only the superuser may give a file away.
        static_cast<void>(::fchown(file.fd(), old.st_uid, old.st_gid));
        static_cast<void>(::fchmod(file.fd(), old.st_mode & kPermissionBits));
    }
    error = steps.failureAt(FileWriteStep::Write);
    if (error != 0) {
        static_cast<void>(writeAll(file.fd(), bytes.data(), bytes.size() / 2));
    } else {
        error = writeAll(file.fd(), bytes.data(), bytes.size());
    }
    if (error != 0) {
        return failed("cannot write the new file", error);
    }
    error = steps.failureAt(FileWriteStep::Flush);
    if (error == 0 && ::fsync(file.fd()) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = file.close();
    }
    if (error != 0) {
        return failed("cannot flush the new file to the disk", error);
    }
    return {true, {}};
}

}  // namespace

FileWriteSteps& systemFileWriteSteps() {
    static FileWriteSteps steps;
    return steps;
}

FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes, FileWriteSteps& steps) {
    const std::string target = finalTarget(path);
    const std::string temporary = temporaryNameFor(target);
    FileWriteResult result = fillTemporary(temporary, target, bytes, steps);
    if (!result) {
        ::unlink(temporary.c_str());
        return result;
    }
    int error = steps.failureAt(FileWriteStep::Rename);
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failed("cannot put the new file in place of the old one", error);
    }
    error = steps.failureAt(FileWriteStep::FlushFolder);
    if (error == 0) {
        error = flushFolder(folderOf(target));
    }
    if (error != 0) {
        // The new file is in place, but a crash could still undo the rename: not yet safe.
        return failed("cannot flush its folder to the disk", error);
    }
    return {true, {}};
}

FileWriteResult makeFolders(const std::string& path) {
    if (path.empty()) {
        return {false, "no folder named"};
    }
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (!folder.empty() && ::mkdir(folder.c_str(), kNewFolderMode) != 0 && errno != EEXIST) {
            return failed("cannot create it", errno);
        }
        if (end == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return failed("cannot look at the folder", errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return {false, "it is not a folder"};
    }
    return {true, {}};
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
    return FileStamp{
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanosecondsPerSecond + info.st_mtim.tv_nsec,
        static_cast<std::int64_t>(info.st_size)};
}

}  // namespace brickstorm::platform
