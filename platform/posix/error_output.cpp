#include "platform/error_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>

#include "platform/posix/fd_io.h"

namespace brickstorm::platform {

namespace {

constexpr std::chrono::milliseconds kStalledTerminalWait{500};

}  // namespace

bool errorOutputIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void writeToErrorOutput(std::string_view text) {
    if (text.empty()) {
        return;
    }
    std::fflush(stderr);
    std::array<char, 256> name{};
    // The terminal opened anew, non-blocking: standard error's own description is shared with
    // the shell, which must not find it changed.
    const int fd = ::isatty(STDERR_FILENO) != 0 && ::ttyname_r(STDERR_FILENO, name.data(), name.size()) == 0
                       ? ::open(name.data(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)
                       : -1;
    if (fd < 0) {
        writeAll(systemCalls(), STDERR_FILENO, text);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kStalledTerminalWait;
    writeAllUnless(systemCalls(), fd, text, [&] { return std::chrono::steady_clock::now() >= deadline; });
    ::close(fd);
}

}  // namespace brickstorm::platform
