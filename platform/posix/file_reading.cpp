#include "platform/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/posix/system_calls.h"

namespace brickstorm::platform {

namespace {

constexpr std::size_t kPieceBytes = std::size_t{1} << 16;
constexpr const char* kPipeWithoutWriter = "a named pipe that no program writes to yet";

FileReadResult failure(int error) {
    if (error == ENOENT || error == ENOTDIR) {
        return {FileReadStatus::Missing, {}};
    }
    if (error == EISDIR) {
        return {FileReadStatus::Directory, {}};
    }
    return {FileReadStatus::Unreadable, std::strerror(error)};
}

// Closes the descriptor on every way out of the read.
class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace

FileReadResult readFilePieces(const std::string& path, const FilePieceReader& take) {
    // Opened without waiting, so that a named pipe with no writer is told at once instead of
    // holding the program before the game has even started; reads wait again afterwards.
    const OpenFile file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd() < 0) {
        return failure(errno);
    }
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0) {
        return failure(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return {FileReadStatus::Directory, {}};
    }
    const int flags = ::fcntl(file.fd(), F_GETFL);
    if (flags < 0 || ::fcntl(file.fd(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return failure(errno);
    }

    std::array<char, kPieceBytes> buffer{};
    SystemCalls& sys = systemCalls();
    bool readAny = false;
    for (;;) {
        const ssize_t count = sys.read(file.fd(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return failure(errno);
        }
        if (count == 0 && S_ISFIFO(info.st_mode) && !readAny) {
            // No writer has the pipe open (a writer that came and wrote nothing is rare enough
            // to be told the same way): "empty" would send the player looking in the wrong place.
            return {FileReadStatus::Unreadable, kPipeWithoutWriter};
        }
        if (count == 0) {
            return {FileReadStatus::Read, {}};
        }
        readAny = true;
        if (!take(std::string_view(buffer.data(), static_cast<std::size_t>(count)))) {
            return {FileReadStatus::Stopped, {}};
        }
    }
}

}  // namespace brickstorm::platform
