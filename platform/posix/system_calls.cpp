#include "platform/posix/system_calls.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace brickstorm::platform {

ssize_t SystemCalls::read(int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); }

ssize_t SystemCalls::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

int SystemCalls::poll(pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); }

int SystemCalls::getWindowSize(int fd, winsize* size) { return ::ioctl(fd, TIOCGWINSZ, size); }

int SystemCalls::fsync(int fd) { return ::fsync(fd); }

int SystemCalls::rename(const char* from, const char* to) { return ::rename(from, to); }

SystemCalls& systemCalls() {
    static SystemCalls real;
    return real;
}

}  // namespace brickstorm::platform
