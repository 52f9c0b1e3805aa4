#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/posix/raw_mode.h"
#include "platform/terminal.h"
#include "support/pty_session.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

TEST(TerminalRawMode, TurnsOffLineEditingAndEchoButKeepsTheSignalKeys) {
    termios found{};
    found.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ISIG | IEXTEN;
    found.c_iflag = ICRNL | IXON | BRKINT;
    found.c_oflag = OPOST | ONLCR;
    found.c_cflag = CS8 | CREAD;
    found.c_cc[VMIN] = 0;
    found.c_cc[VTIME] = 5;
    found.c_cc[VINTR] = 3;
    const termios raw = rawModeFrom(found);
    EXPECT_EQ(raw.c_lflag & (ICANON | ECHO | IEXTEN), 0U);
    EXPECT_NE(raw.c_lflag & ISIG, 0U);
    EXPECT_EQ(raw.c_iflag & (ICRNL | IXON), 0U);
    EXPECT_EQ(raw.c_oflag, found.c_oflag);
    EXPECT_EQ(raw.c_cflag, found.c_cflag);
    EXPECT_EQ(raw.c_cc[VMIN], 1);
    EXPECT_EQ(raw.c_cc[VTIME], 0);
    EXPECT_EQ(raw.c_cc[VINTR], 3);
}

// A normal exit, through exit() and its handlers, in a child process on a pseudo-terminal: raw
// mode while the session runs, the terminal as found afterwards.
TEST(TerminalSession, ANormalExitGivesTheTerminalBack) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios found{};
    ::tcgetattr(slave, &found);
    constexpr int kRawSeen = 3;
    constexpr int kRawMissing = 4;
    std::fflush(nullptr);  // the child's exit() must not flush the test's own output onto the terminal
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(slave, STDIN_FILENO);
        ::dup2(slave, STDOUT_FILENO);
        beginTerminalSession();
        termios during{};
        ::tcgetattr(STDIN_FILENO, &during);
        std::exit((during.c_lflag & (ICANON | ECHO)) == 0 ? kRawSeen : kRawMissing);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kRawSeen);

    termios after{};
    ::tcgetattr(slave, &after);
    EXPECT_TRUE(testing::sameSettings(after, found)) << testing::settingsDifference(after, found);
    std::string shown;
    pollfd entry{master, POLLIN, 0};
    while (::poll(&entry, 1, 0) > 0) {
        char buffer[256];
        const ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        shown.append(buffer, static_cast<std::size_t>(count));
    }
    EXPECT_EQ(shown, std::string(kTakeScreen) + std::string(kGiveBackScreen));
    ::close(slave);
    ::close(master);
}

}  // namespace
}  // namespace brickstorm::platform
