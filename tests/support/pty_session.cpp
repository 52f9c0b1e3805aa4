#include "support/pty_session.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <string_view>

extern char** environ;

namespace brickstorm::testing {

namespace {

using Clock = std::chrono::steady_clock;

// How often the conditions that the system cannot announce (settings, process state) are looked at.
constexpr std::chrono::milliseconds kPollInterval{5};

// The program's /proc/<pid>/stat line, or nothing once it has gone. A program that ends between
// the open and the read makes the read fail (ESRCH), which a file stream would throw on: here it
// reads as gone.
std::string processStatus(pid_t program) {
    const std::string path = "/proc/" + std::to_string(program) + "/stat";
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return {};
    }
    std::string text;
    char block[512];
    for (;;) {
        const ssize_t got = ::read(file, block, sizeof block);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got < 0) {
                text.clear();
            }
            break;
        }
        text.append(block, static_cast<std::size_t>(got));
    }
    ::close(file);
    return text;
}

// Written to the terminal after the program has ended, to know when all its output has been read:
// capital letters and dashes, which no output setting of the terminal changes.
constexpr std::string_view kEndOfOutputMark = "-PTY-SESSION-END-OF-OUTPUT-";

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Waits for `fd` to become readable until `deadline`; false at the deadline.
bool waitReadable(int fd, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

bool readExactly(int fd, void* data, std::size_t size, Clock::time_point deadline) {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        if (!waitReadable(fd, deadline)) {
            return false;
        }
        const ssize_t count = ::read(fd, bytes, size);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        bytes += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

void writeIgnoringResult(int fd, const void* data, std::size_t size) {
    while (size > 0) {
        const ssize_t count = ::write(fd, data, size);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        data = static_cast<const char*>(data) + count;
        size -= static_cast<std::size_t>(count);
    }
}

// The environment for the program: the test's own with the options' entries set on top.
std::vector<std::string> programEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> result;
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        bool overridden = false;
        for (const auto& override : overrides) {
            overridden = overridden || nameOf(override) == nameOf(text);
        }
        if (!overridden) {
            result.push_back(text);
        }
    }
    result.insert(result.end(), overrides.begin(), overrides.end());
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (auto& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// In the program's process, between fork and exec: only async-signal-safe calls from here on.
[[noreturn]] void becomeProgram(int slave, int goSignal, const PtySession::Options& options, char* const* argv,
                                char* const* envp) {
    char go = 0;
    while (::read(goSignal, &go, 1) < 0 && errno == EINTR) {
    }
    ::close(goSignal);
    ::dup2(slave, STDIN_FILENO);
    ::dup2(slave, STDOUT_FILENO);
    ::dup2(slave, STDERR_FILENO);
    if (slave > STDERR_FILENO) {
        ::close(slave);
    }
    if (options.input == PtySession::Input::DevNull) {
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        ::close(null);
    }
    if (options.output == PtySession::Output::Closed) {
        ::close(STDOUT_FILENO);
    } else if (options.output == PtySession::Output::BrokenPipe) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) == 0) {
            ::close(pipeEnds[0]);
            ::dup2(pipeEnds[1], STDOUT_FILENO);
            ::close(pipeEnds[1]);
        }
    }
    // Tests crash the program on purpose: no core files.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal) {
        ::signal(signal, SIG_DFL);
    }
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

// The stand-in shell, in the child between fork and its exit: leads a new session on the
// terminal, starts the program as its foreground job, and reports the program's pid and, when
// it ends, its wait status. Only async-signal-safe calls.
[[noreturn]] void becomeShell(int slave, int report, const PtySession::Options& options, char* const* argv,
                              char* const* envp) {
    ::setsid();
    ::ioctl(slave, TIOCSCTTY, 0);
    int go[2];
    if (::pipe(go) != 0) {
        ::_exit(126);
    }
    const pid_t program = ::fork();
    if (program == 0) {
        ::close(go[1]);
        ::close(report);
        ::setpgid(0, 0);
        becomeProgram(slave, go[0], options, argv, envp);
    }
    ::close(go[0]);
    if (program < 0) {
        ::_exit(126);
    }
    // As a shell does: the job gets a process group of its own and the terminal's foreground.
    // Being its parent in the same session keeps the group under job control, so a stop key
    // really stops it.
    ::setpgid(program, program);
    ::tcsetpgrp(slave, program);
    ::close(slave);
    writeIgnoringResult(go[1], "g", 1);
    ::close(go[1]);
    writeIgnoringResult(report, &program, sizeof program);
    int status = 0;
    while (::waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
    writeIgnoringResult(report, &status, sizeof status);
    ::_exit(0);
}

}  // namespace

namespace {

winsize windowOf(unsigned short columns, unsigned short rows, unsigned short cellWidth,
                 unsigned short cellHeight) {
    winsize size{};
    size.ws_col = columns;
    size.ws_row = rows;
    size.ws_xpixel = static_cast<unsigned short>(columns * cellWidth);
    size.ws_ypixel = static_cast<unsigned short>(rows * cellHeight);
    return size;
}

}  // namespace

PtySession::PtySession(Options options) : cellWidth_(options.cellWidth), cellHeight_(options.cellHeight) {
    winsize size = windowOf(options.columns, options.rows, cellWidth_, cellHeight_);
    if (::openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
        ADD_FAILURE() << "openpty: " << std::strerror(errno);
        return;
    }
    ::tcgetattr(slave_, &initial_);
    int report[2];
    if (::pipe(report) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return;
    }
    if (::pipe(wake_) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        ::close(report[0]);
        ::close(report[1]);
        return;
    }
    // Everything the children need is made before fork: after it they may only make system calls.
    std::vector<std::string> argumentStrings{options.program};
    argumentStrings.insert(argumentStrings.end(), options.arguments.begin(), options.arguments.end());
    std::vector<std::string> environmentStrings = programEnvironment(options.environment);
    const auto argv = pointersTo(argumentStrings);
    const auto envp = pointersTo(environmentStrings);

    shell_ = ::fork();
    if (shell_ == 0) {
        ::close(master_);
        ::close(report[0]);
        ::close(wake_[0]);
        ::close(wake_[1]);
        becomeShell(slave_, report[1], options, argv.data(), envp.data());
    }
    ::close(report[1]);
    report_ = report[0];
    if (shell_ < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return;
    }
    reader_ = std::thread([this] { readOutput(); });
    pid_t program = -1;
    if (readExactly(report_, &program, sizeof program, Clock::now() + kPatience) && program > 0) {
        program_ = program;
    } else {
        ADD_FAILURE() << "the program did not start";
    }
}

PtySession::~PtySession() {
    if (program_ > 0 && !status_) {
        ::kill(program_, SIGKILL);
        waitForExit();
    }
    if (shell_ > 0) {
        ::kill(shell_, SIGKILL);
        int ignored = 0;
        while (::waitpid(shell_, &ignored, 0) < 0 && errno == EINTR) {
        }
    }
    if (reader_.joinable()) {
        writeIgnoringResult(wake_[1], "x", 1);
        reader_.join();
    }
    closeIfOpen(wake_[0]);
    closeIfOpen(wake_[1]);
    closeIfOpen(report_);
    closeIfOpen(slave_);
    closeIfOpen(master_);
}

void PtySession::readOutput() {
    char buffer[4096];
    for (;;) {
        pollfd entries[2]{{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (entries[1].revents != 0) {
            return;
        }
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;  // the terminal is gone; nothing more will come
        }
        {
            const std::lock_guard lock(outputLock_);
            output_.append(buffer, static_cast<std::size_t>(count));
        }
        outputGrew_.notify_all();
    }
}

void PtySession::send(std::string_view bytes) { writeIgnoringResult(master_, bytes.data(), bytes.size()); }

void PtySession::sendSignal(int signal) {
    // Never kill(-1, ...) or kill(0, ...): those reach far more than the program.
    if (program_ > 0) {
        ::kill(program_, signal);
    }
}

void PtySession::resize(unsigned short columns, unsigned short rows) {
    winsize size = windowOf(columns, rows, cellWidth_, cellHeight_);
    ::ioctl(master_, TIOCSWINSZ, &size);
}

termios PtySession::settings() const {
    termios now{};
    ::tcgetattr(slave_, &now);
    return now;
}

void PtySession::setSettings(const termios& settings) { ::tcsetattr(slave_, TCSANOW, &settings); }

bool PtySession::waitForSettings(const std::function<bool(const termios&)>& condition,
                                 std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition(settings())) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::string PtySession::output() const {
    const std::lock_guard lock(outputLock_);
    return output_;
}

bool PtySession::waitForOutput(const std::function<bool(std::string_view)>& condition,
                               std::chrono::milliseconds timeout) const {
    std::unique_lock lock(outputLock_);
    return outputGrew_.wait_for(lock, timeout, [&] { return condition(output_); });
}

bool PtySession::waitForOutputContaining(std::string_view text, std::chrono::milliseconds timeout) const {
    return waitForOutput([text](std::string_view all) { return all.find(text) != std::string_view::npos; },
                         timeout);
}

std::optional<int> PtySession::waitForExit(std::chrono::milliseconds timeout) {
    if (!status_ && program_ > 0) {
        int status = 0;
        if (readExactly(report_, &status, sizeof status, Clock::now() + timeout)) {
            status_ = status;
            waitForAllOutput(kPatience);
        }
    }
    return status_;
}

// After the program has ended: the terminal passes bytes on in the order they were written, so
// once a mark written now has come through, so has everything the program wrote before it.
// The mark is taken out of the output again.
void PtySession::waitForAllOutput(std::chrono::milliseconds timeout) {
    writeIgnoringResult(slave_, kEndOfOutputMark.data(), kEndOfOutputMark.size());
    std::unique_lock lock(outputLock_);
    if (!outputGrew_.wait_for(lock, timeout, [&] { return output_.ends_with(kEndOfOutputMark); })) {
        ADD_FAILURE() << "the program's last output did not arrive";
        return;
    }
    output_.resize(output_.size() - kEndOfOutputMark.size());
}

char PtySession::processState() const {
    // /proc/<pid>/stat: "pid (name) state ..."; the name may hold spaces and parentheses.
    const std::string text = processStatus(program_);
    const auto end = text.rfind(')');
    return end == std::string::npos || end + 2 >= text.size() ? '?' : text[end + 2];
}

bool PtySession::waitUntilStopped(std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    while (processState() != 'T') {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

bool PtySession::waitUntilRunning(std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const char state = processState();
        if (state == 'R' || state == 'S' || state == 'D') {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::chrono::milliseconds PtySession::processorTime() const {
    const std::string text = processStatus(program_);
    const auto end = text.rfind(')');
    if (end == std::string::npos) {
        return std::chrono::milliseconds::zero();
    }
    // After the name: state (field 3) ... utime (14), stime (15), in clock ticks.
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    long long ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14) {
            ticks += std::stoll(field);
        }
    }
    return std::chrono::milliseconds(ticks * 1000 / ::sysconf(_SC_CLK_TCK));
}

bool sameSettings(const termios& a, const termios& b) { return settingsDifference(a, b).empty(); }

std::string settingsDifference(const termios& a, const termios& b) {
    std::ostringstream out;
    const auto field = [&out](const char* name, unsigned long x, unsigned long y) {
        if (x != y) {
            out << name << ' ' << std::hex << x << " != " << y << std::dec << "; ";
        }
    };
    field("iflag", a.c_iflag, b.c_iflag);
    field("oflag", a.c_oflag, b.c_oflag);
    field("cflag", a.c_cflag, b.c_cflag);
    field("lflag", a.c_lflag, b.c_lflag);
    field("ispeed", cfgetispeed(&a), cfgetispeed(&b));
    field("ospeed", cfgetospeed(&a), cfgetospeed(&b));
    for (std::size_t i = 0; i < NCCS; ++i) {
        if (a.c_cc[i] != b.c_cc[i]) {
            out << "cc[" << i << "] " << int{a.c_cc[i]} << " != " << int{b.c_cc[i]} << "; ";
        }
    }
    return out.str();
}

}  // namespace brickstorm::testing
