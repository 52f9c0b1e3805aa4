#include "platform/posix/fd_io.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace brickstorm::platform {

namespace {

bool isPause(int error) { return error == EINTR || error == EAGAIN || error == EWOULDBLOCK; }

// Waits until `fd` can be written (for an output someone set non-blocking). False if it never
// can be again.
bool waitWritable(SystemCalls& sys, int fd) {
    for (;;) {
        pollfd entry{fd, POLLOUT, 0};
        const int ready = sys.poll(&entry, 1, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && (entry.revents & POLLOUT) != 0;
    }
}

}  // namespace

bool writeAll(SystemCalls& sys, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = sys.write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && isPause(errno) && waitWritable(sys, fd)) {
            continue;
        }
        // Anything else (EPIPE, EBADF, EIO, or a write that takes nothing) will not get better
        // by trying again, and trying again would spin.
        return false;
    }
    return true;
}

FileBytesWritten writeToFile(SystemCalls& sys, int fd, std::string_view bytes) {
    FileBytesWritten result;
    while (result.count < bytes.size()) {
        const ssize_t written = sys.write(fd, bytes.data() + result.count, bytes.size() - result.count);
        if (written > 0) {
            result.count += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            result.error = written < 0 ? errno : kNothingWritten;
            break;
        }
    }
    return result;
}

const char* writeErrorText(int error) {
    return error == kNothingWritten ? "the system took none of the bytes" : std::strerror(error);
}

ReadResult readAvailable(SystemCalls& sys, int fd, std::span<unsigned char> buffer,
                         std::chrono::milliseconds timeout, int wakeUp) {
    using Clock = std::chrono::steady_clock;
    const bool limited = timeout >= std::chrono::milliseconds::zero();
    const auto deadline = Clock::now() + (limited ? timeout : std::chrono::milliseconds::zero());
    for (;;) {
        int waitMs = -1;
        if (limited) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            waitMs = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        }
        std::array<pollfd, 2> entries{pollfd{fd, POLLIN, 0}, pollfd{wakeUp, POLLIN, 0}};
        const int ready = sys.poll(entries.data(), wakeUp >= 0 ? 2 : 1, waitMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;  // a signal (a resize, say): the rest of the wait still counts
            }
            return {ReadStatus::Ended, 0};
        }
        if (ready == 0) {
            return {ReadStatus::TimedOut, 0};
        }
        if (wakeUp >= 0 && (entries[1].revents & POLLIN) != 0) {
            return {ReadStatus::Woken, 0};
        }
        // Ready: data, or a hang-up or error that the read itself reports.
        const ssize_t count = sys.read(fd, buffer.data(), buffer.size());
        if (count > 0) {
            return {ReadStatus::Data, static_cast<std::size_t>(count)};
        }
        if (count < 0 && isPause(errno)) {
            continue;
        }
        return {ReadStatus::Ended, 0};
    }
}

}  // namespace brickstorm::platform
