#include "platform/file_writing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <variant>

#include "platform/posix/fd_io.h"
#include "platform/posix/file_writing_calls.h"

namespace brickstorm::platform {

namespace {

// New files get what the player's umask leaves of read and write for everyone, as an editor's
// files do; folders for the player's own things stay private.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kNewFolderMode = 0700;
constexpr mode_t kPermissionBits = 07777;
// As many links as the system itself follows before it gives up with ELOOP.
constexpr int kMostLinksFollowed = 40;
constexpr int kTemporaryNameTries = 16;

FileWriteResult failed(const char* what, int error) {
    return {false, std::string(what) + ": " + writeErrorText(error)};
}

// Closes the descriptor on every way out, unless it was closed on purpose.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return fd_; }
    // Hands the descriptor over: it is no longer closed here.
    int release() { return std::exchange(fd_, -1); }
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

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// What the name finally leads to, through any links: replacing a link would turn the player's
// link into a plain file and leave the file it points to as it was. A dangling link leads to the
// name it points at, where the file is then made.
struct Target {
    std::string path;
    bool exists = false;
    struct stat info {};
};

std::variant<Target, FileWriteResult> findTarget(const std::string& path) {
    Target target{path};
    for (int links = 0; links <= kMostLinksFollowed; ++links) {
        if (::lstat(target.path.c_str(), &target.info) != 0) {
            if (errno == ENOENT) {
                return target;
            }
            return failed("cannot look at it", errno);
        }
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return target;
        }
        // Some file systems give a link no size: a name as long as a path can be is room enough.
        std::string pointed(std::max<std::size_t>(static_cast<std::size_t>(target.info.st_size) + 1, PATH_MAX),
                            '\0');
        const ssize_t length = ::readlink(target.path.c_str(), pointed.data(), pointed.size());
        if (length < 0 || static_cast<std::size_t>(length) >= pointed.size()) {
            return failed("cannot read the link", length < 0 ? errno : EIO);
        }
        pointed.resize(static_cast<std::size_t>(length));
        target.path =
            !pointed.empty() && pointed.front() == '/' ? pointed : folderOf(target.path) + "/" + pointed;
    }
    return failed("cannot follow the link", ELOOP);
}

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISFIFO(mode)) {
        return "a pipe";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a file";
}

std::optional<std::string> refusal(const Target& target) {
    if (!target.exists || S_ISREG(target.info.st_mode)) {
        return std::nullopt;
    }
    return std::string(kindOf(target.info.st_mode)) + ", not a regular file";
}

// The system's own file-size signal would end the program in the middle of a write: ignored,
// the write fails with EFBIG and is told.
void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

// A name of fixed length beside the file, whatever the file's own name: a long name must stay
// writable, and leftovers must be recognisable as this program's.
std::string temporaryName(const std::string& folder) {
    static std::atomic<std::uint64_t> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // SplitMix64 of the process, the moment and a counter: different for every try anywhere.
    std::uint64_t mixed =
        (static_cast<std::uint64_t>(::getpid()) << 40U) ^ static_cast<std::uint64_t>(now.tv_nsec) ^
        (static_cast<std::uint64_t>(now.tv_sec) << 20U) ^ (counter++ * 0x9e3779b97f4a7c15ULL);
    mixed = (mixed ^ (mixed >> 30U)) * 0xbf58476d1ce4e5b9ULL;
    mixed = (mixed ^ (mixed >> 27U)) * 0x94d049bb133111ebULL;
    mixed ^= mixed >> 31U;
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuv";
    std::string name(kTemporaryPrefix);
    for (int i = 0; i < 12; ++i) {
        name += kDigits[(mixed >> (static_cast<unsigned>(i) * 5U)) & 31U];
    }
    name += kTemporarySuffix;
    return folder + "/" + name;
}

bool isTemporaryName(std::string_view name) {
    return name.size() == kTemporaryNameLength && name.starts_with(kTemporaryPrefix) &&
           name.ends_with(kTemporarySuffix);
}

// True when the name `name` in the folder `folderFd` still leads to the open file `fd`.
bool stillNamed(int folderFd, const char* name, int fd) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// Locks a new temporary file as this write's; false when another write's clean-up took it first.
bool takeTemporary(int fd, const std::string& temporary) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // A file system without locks: no clean-up can take it either.
        return errno != EWOULDBLOCK;
    }
    return stillNamed(AT_FDCWD, temporary.c_str(), fd);
}

// Removes what writes killed half-way (a SIGKILL, a crash, the machine going down) left in
// `folder`. Each temporary file is locked by its write for as long as the write lasts, and that
// write checks, once it holds the lock, that its file still has its name: so one that can be
// locked belongs to no one, even if its write has only just made it.
void removeStaleTemporaries(const std::string& folder) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    const int folderFd = ::dirfd(listing);
    while (const dirent* entry = ::readdir(listing)) {
        if (!isTemporaryName(entry->d_name)) {
            continue;
        }
        const Descriptor file(
            ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat info {};
        if (file.fd() >= 0 && ::fstat(file.fd(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::flock(file.fd(), LOCK_EX | LOCK_NB) == 0 && stillNamed(folderFd, entry->d_name, file.fd())) {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
    }
    ::closedir(listing);
}

// Writes `bytes` over the start of an open file, cuts it to their length and flushes it.
FileWriteResult fillFile(SystemCalls& sys, int fd, std::string_view bytes, FileWriteSteps& steps,
                         const char* writing, const char* flushing) {
    int error = steps.failureAt(FileWriteStep::Write);
    if (error != 0) {
        static_cast<void>(writeToFile(sys, fd, bytes.substr(0, bytes.size() / 2)));
    } else {
        error = writeToFile(sys, fd, bytes).error;
    }
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        error = errno;
    }
    if (error != 0) {
        return failed(writing, error);
    }
    error = steps.failureAt(FileWriteStep::Flush);
    if (error == 0 && sys.fsync(fd) != 0) {
        error = errno;
    }
    if (error != 0) {
        return failed(flushing, error);
    }
    return {true, {}};
}

int flushFolder(SystemCalls& sys, const std::string& folder) {
    const Descriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.fd() < 0) {
        return errno;
    }
    // Some file systems cannot flush a folder and say so; the rename is as safe there as they
    // make it.
    if (sys.fsync(descriptor.fd()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return errno;
    }
    return 0;
}

// Where a new file cannot keep what the old one is, the old one is written in place.
struct WriteInPlace {};

// The new file beside the old one, locked as this write's, with the old file's owner, group and
// permissions; WriteInPlace when it cannot be made or cannot be given them.
std::variant<int, WriteInPlace, FileWriteResult> createTemporary(const Target& target,
                                                                 const std::string& folder,
                                                                 std::string& temporary,
                                                                 FileWriteSteps& steps) {
    int error = steps.failureAt(FileWriteStep::CreateTemporary);
    int fd = -1;
    for (int tries = 0; error == 0 && fd < 0 && tries < kTemporaryNameTries; ++tries) {
        temporary = temporaryName(folder);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, kNewFileMode);
        if (fd < 0 && errno != EEXIST) {
            error = errno;
        }
        // This write's own until it ends (see removeStaleTemporaries); another write's clean-up
        // may have taken it in the moment before the lock, and then another name is tried.
        if (fd >= 0 && !takeTemporary(fd, temporary)) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        if (target.exists && (error == EACCES || error == EPERM)) {
            return WriteInPlace{};  // a folder where no new file can be made, a file that may be written
        }
        return failed("cannot create the new file beside it", error == 0 ? EEXIST : error);
    }
    if (!target.exists) {
        return fd;
    }
    // Only the superuser may give a file away; for anyone else a different owner or group means
    // writing in place.
    static_cast<void>(::fchown(fd, target.info.st_uid, target.info.st_gid));
    struct stat made {};
    if (::fstat(fd, &made) != 0 || made.st_uid != target.info.st_uid || made.st_gid != target.info.st_gid ||
        ::fchmod(fd, target.info.st_mode & kPermissionBits) != 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return WriteInPlace{};
    }
    return fd;
}

FileWriteResult writeInPlace(SystemCalls& sys, const Target& target, std::string_view bytes,
                             FileWriteSteps& steps, const BeforeWritingInPlace& beforeInPlace) {
    // Opened before the copy is asked for, so that a file that cannot be written costs nothing.
    Descriptor file(::open(target.path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd() < 0) {
        return failed("cannot open it to write it", errno);
    }
    struct stat opened {};
    if (::fstat(file.fd(), &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != target.info.st_dev ||
        opened.st_ino != target.info.st_ino) {
        return {false, "it was replaced while being written; nothing is written"};
    }
    if (beforeInPlace) {
        if (FileWriteResult safe = beforeInPlace(); !safe) {
            return safe;
        }
    }
    FileWriteResult result =
        fillFile(sys, file.fd(), bytes, steps, "cannot write it (in place)", "cannot flush it to the disk");
    if (const int error = result ? file.close() : 0; error != 0) {
        return failed("cannot flush it to the disk", error);
    }
    return result;
}

FileWriteResult replaceByRename(SystemCalls& sys, const Target& target, std::string_view bytes,
                                FileWriteSteps& steps, const BeforeWritingInPlace& beforeInPlace) {
    const std::string folder = folderOf(target.path);
    removeStaleTemporaries(folder);
    std::string temporary;
    auto created = createTemporary(target, folder, temporary, steps);
    if (std::holds_alternative<WriteInPlace>(created)) {
        return writeInPlace(sys, target, bytes, steps, beforeInPlace);
    }
    if (auto* failure = std::get_if<FileWriteResult>(&created)) {
        return std::move(*failure);
    }
    // Kept open, and so locked, until the new file has its name.
    Descriptor file(std::get<int>(created));
    FileWriteResult result = fillFile(sys, file.fd(), bytes, steps, "cannot write the new file",
                                      "cannot flush the new file to the disk");
    int error = 0;
    if (result) {
        error = steps.failureAt(FileWriteStep::Rename);
        if (error == 0 && sys.rename(temporary.c_str(), target.path.c_str()) != 0) {
            error = errno;
        }
        if (error != 0) {
            result = failed("cannot put the new file in place of the old one", error);
        }
    }
    if (!result) {
        ::unlink(temporary.c_str());
        return result;
    }
    file.close();
    error = steps.failureAt(FileWriteStep::FlushFolder);
    if (error == 0) {
        error = flushFolder(sys, folder);
    }
    if (error != 0) {
        // The new file is in place, but a crash could still undo the rename: not yet safe.
        return failed("cannot flush its folder to the disk", error);
    }
    return {true, {}};
}

}  // namespace

FileWriteSteps& systemFileWriteSteps() {
    static FileWriteSteps steps;
    return steps;
}

void keepFileSizeLimitFromEndingTheProgram() { ignoreFileSizeSignal(); }

FileWriteResult writeFileWith(SystemCalls& sys, const std::string& path, std::string_view bytes,
                              FileWriteSteps& steps, const BeforeWritingInPlace& beforeInPlace) {
    keepFileSizeLimitFromEndingTheProgram();
    auto found = findTarget(path);
    if (auto* failure = std::get_if<FileWriteResult>(&found)) {
        return std::move(*failure);
    }
    const Target& target = std::get<Target>(found);
    if (auto refused = refusal(target)) {
        return {false, *refused};
    }
    // A second name for the file would go on naming the old one after a rename.
    if (target.exists && target.info.st_nlink > 1) {
        return writeInPlace(sys, target, bytes, steps, beforeInPlace);
    }
    return replaceByRename(sys, target, bytes, steps, beforeInPlace);
}

FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes, FileWriteSteps& steps,
                                    const BeforeWritingInPlace& beforeInPlace) {
    return writeFileWith(systemCalls(), path, bytes, steps, beforeInPlace);
}

std::optional<std::string> unwritableKind(const std::string& path) {
    auto found = findTarget(path);
    if (std::holds_alternative<FileWriteResult>(found)) {
        return std::nullopt;  // not known to be anything else: the write itself says why it fails
    }
    return refusal(std::get<Target>(found));
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
        static_cast<std::int64_t>(info.st_size), static_cast<std::uint64_t>(info.st_dev),
        static_cast<std::uint64_t>(info.st_ino)};
}

FileLock FileLock::take(const std::string& path, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    // Holders keep it for the milliseconds of a write: looked at again soon, then less often.
    constexpr std::chrono::microseconds kLongestPause{16000};
    std::chrono::microseconds pause{250};
    const Clock::time_point deadline = Clock::now() + wait;
    FileLock lock;
    lock.path_ = path;
    for (;;) {
        Descriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
        if (file.fd() < 0) {
            lock.problem_ = std::string("cannot make the lock file: ") + std::strerror(errno);
            return lock;
        }
        if (::flock(file.fd(), LOCK_EX | LOCK_NB) == 0) {
            // The holder before may have removed the file between its open and this lock: only a
            // lock on the file that the name still leads to counts.
            struct stat held {};
            struct stat named {};
            if (::fstat(file.fd(), &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                lock.state_ = State::Held;
                lock.handle_ = file.release();
                return lock;
            }
            continue;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            lock.problem_ = std::string("cannot lock the lock file: ") + std::strerror(errno);
            return lock;
        }
        if (Clock::now() >= deadline) {
            lock.state_ = State::Busy;
            return lock;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, kLongestPause);
    }
}

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock&& other) noexcept
    : state_(std::exchange(other.state_, State::Failed)),
      path_(std::move(other.path_)),
      problem_(std::move(other.problem_)),
      handle_(std::exchange(other.handle_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        state_ = std::exchange(other.state_, State::Failed);
        path_ = std::move(other.path_);
        problem_ = std::move(other.problem_);
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

void FileLock::release() {
    if (handle_ >= 0) {
        // Removed while still locked, so that whoever opened it meanwhile sees that the lock they
        // get is on a file without a name, and tries again.
        ::unlink(path_.c_str());
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
    state_ = State::Failed;
}

}  // namespace brickstorm::platform
