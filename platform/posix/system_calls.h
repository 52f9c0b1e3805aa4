#pragma once

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/types.h>

#include <cstddef>

// The system calls of the terminal code's and the file writer's normal paths, behind one small
// interface so that tests can stand in short writes, interruptions and failures, and see that a
// flush is made where it must be. (The signal handlers call the system
// directly: they must not depend on anything a test could swap.)
namespace brickstorm::platform {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    // Each does what the system call of the same name does, errno included.
    virtual ssize_t read(int fd, void* buffer, std::size_t size);
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int poll(pollfd* fds, nfds_t count, int timeoutMs);
    // ioctl(fd, TIOCGWINSZ, size): the terminal's window size.
    virtual int getWindowSize(int fd, winsize* size);
    virtual int fsync(int fd);
    virtual int rename(const char* from, const char* to);
};

// The real system calls.
SystemCalls& systemCalls();

}  // namespace brickstorm::platform
