#include "platform/posix/terminal_console.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/terminal.h"
#include "render/picture.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

// An output that records every write call, and can take only part of each, be interrupted, or
// fail, as a scripted list of errors for the next calls says.
class RecordingOutput final : public SystemCalls {
public:
    ssize_t write(int, const void* data, std::size_t size) override {
        if (stalled) {
            errno = EAGAIN;
            return -1;
        }
        if (!errors.empty()) {
            errno = errors.front();
            errors.pop_front();
            return -1;
        }
        const std::size_t count = std::min(size, mostPerCall);
        calls.emplace_back(static_cast<const char*>(data), count);
        return static_cast<ssize_t>(count);
    }
    int poll(pollfd* fds, nfds_t, int) override {
        ++polls;
        if (stalled) {
            fds[0].revents = 0;
            if (onStalledWait) {
                onStalledWait();
            }
            return 0;  // the wait ran out
        }
        fds[0].revents = POLLOUT;
        return 1;
    }
    ssize_t read(int, void*, std::size_t) override { return 0; }

    std::string all() const {
        std::string joined;
        for (const auto& call : calls) {
            joined += call;
        }
        return joined;
    }

    std::vector<std::string> calls;
    std::deque<int> errors;
    std::size_t mostPerCall = static_cast<std::size_t>(-1);
    int polls = 0;
    // A terminal that has stopped reading: it takes nothing, and waits for room run out.
    bool stalled = false;
    std::function<void()> onStalledWait;
};

class FakeHost final : public ConsoleHost {
public:
    bool beginDrawing() override {
        ++begun;
        return drawing;
    }
    void endDrawing() override { ++ended; }
    bool takeRepaintRequest() override { return std::exchange(repaint, false); }
    void outputLost() override { ++lost; }
    bool givingUp() override { return givingUpNow; }

    bool drawing = true;
    bool givingUpNow = false;
    bool repaint = false;
    int lost = 0;
    int begun = 0;
    int ended = 0;
};

constexpr OutputStyle kTerminalStyle{Charset::Utf8, LineEnd::CrLf};

std::string frame(std::string_view encoded, bool clearFirst) { return terminalFrame(encoded, clearFirst); }

Picture text(std::string_view lines) { return pictureFromText(lines); }

class TerminalConsoleTest : public ::testing::Test {
protected:
    RecordingOutput output;
    FakeHost host;
    std::unique_ptr<Console> owned = consoleFor({1, kTerminalStyle, true}, output, host);
    Console& console = *owned;
};

TEST_F(TerminalConsoleTest, SendsTheClearAndTheScreenInOneCall) {
    console.showScreen(text("ab#\n\xB0\xDB#"));
    ASSERT_EQ(output.calls.size(), 1U);
    EXPECT_EQ(output.calls[0], frame("ab#\x1b[2H\xE2\x96\x91\xE2\x96\x88#", true));
}

TEST_F(TerminalConsoleTest, ShortWritesAndInterruptionsStillDeliverEveryByteInOrder) {
    std::string screen;
    for (int row = 0; row < 60; ++row) {
        screen += std::string(90, static_cast<char>(row % 2 == 0 ? 0xB1 : ' ')) + "#" + (row < 59 ? "\n" : "");
    }
    std::string expected;
    for (int row = 0; row < 60; ++row) {
        if (row > 0) {
            expected += "\x1b[" + std::to_string(row + 1) + "H";
        }
        for (int column = 0; column < 90; ++column) {
            expected += row % 2 == 0 ? "\u2592" : " ";
        }
        expected += "#";
    }
    output.mostPerCall = 97;
    output.errors = {EINTR, EAGAIN, EINTR};
    console.showScreen(text(screen));
    EXPECT_EQ(output.all(), frame(expected, true));
    EXPECT_GT(output.calls.size(), 1U);
    EXPECT_EQ(output.polls, 1);  // the would-block waited for the output instead of spinning
    EXPECT_EQ(host.lost, 0);
}

// A terminal that stops reading holds a frame only until the program is on its way out: then the
// frame is given up (not a lost output: the terminal may read again), and the next picture, if
// any, goes whole.
TEST_F(TerminalConsoleTest, AFrameTheTerminalDoesNotTakeIsGivenUpOnceTheProgramEnds) {
    output.stalled = true;
    output.onStalledWait = [&] { host.givingUpNow = output.polls == 3; };
    console.showScreen(text("ab"));
    EXPECT_EQ(output.polls, 3) << "waited while the program went on, and no longer";
    EXPECT_EQ(host.lost, 0);
    EXPECT_EQ(host.ended, host.begun);
    output.stalled = false;
    console.showScreen(text("ab"));
    EXPECT_EQ(output.all(), frame("ab", true)) << "the picture the terminal never got, whole";
}

TEST_F(TerminalConsoleTest, AFailedOutputIsReportedOnceAndNeverTriedAgain) {
    for (const int error : {EPIPE, EBADF, EIO}) {
        RecordingOutput failing;
        FakeHost watcher;
        const auto broken = consoleFor({1, kTerminalStyle, true}, failing, watcher);
        failing.errors = {error};
        broken->showScreen(text("a"));
        EXPECT_EQ(watcher.lost, 1) << error;
        watcher.repaint = true;
        broken->refresh();
        broken->showScreen(text("b"));
        broken->showPicture(text("c"));
        EXPECT_TRUE(failing.calls.empty()) << error;
        EXPECT_EQ(watcher.lost, 1) << error;
    }
}

TEST_F(TerminalConsoleTest, RefreshShowsTheLastPictureAgainOnlyWhenItWasLost) {
    console.showScreen(text("one\n"));
    console.showScreen(text("two\nthree"));
    output.calls.clear();
    console.refresh();
    EXPECT_TRUE(output.calls.empty());
    host.repaint = true;
    console.refresh();
    ASSERT_EQ(output.calls.size(), 1U);
    EXPECT_EQ(output.calls[0], frame("two\x1b[2Hthree", true));
    console.refresh();
    EXPECT_EQ(output.calls.size(), 1U);
}

TEST_F(TerminalConsoleTest, DrawsNothingWhileTheTerminalIsGivenBack) {
    host.drawing = false;
    console.showScreen(text("hidden"));
    EXPECT_TRUE(output.calls.empty());
    // Taken again: the resume asks for a repaint, and the picture drawn meanwhile appears.
    host.drawing = true;
    host.repaint = true;
    console.refresh();
    ASSERT_EQ(output.calls.size(), 1U);
    EXPECT_EQ(output.calls[0], frame("hidden", true));
}

TEST_F(TerminalConsoleTest, RefreshBeforeAnyPictureWritesNothing) {
    host.repaint = true;
    console.refresh();
    EXPECT_TRUE(output.calls.empty());
}

TEST_F(TerminalConsoleTest, AFrameSendsOnlyTheCellsThatChanged) {
    console.showPicture(text("ab#\ncd#"));
    console.showPicture(text("ab#\ncd#"));
    console.showPicture(text("ab#\ncX#"));
    ASSERT_EQ(output.calls.size(), 2U) << "the identical frame sends nothing";
    EXPECT_EQ(output.calls[0], frame("ab#\x1b[2Hcd#", true));
    EXPECT_EQ(output.calls[1], frame("\x1b[2;2HX", false));
    EXPECT_EQ(host.begun, 2);
    EXPECT_EQ(host.ended, 2);
}

// Whenever what the window shows is unknown or replaced, the next picture goes whole.
TEST_F(TerminalConsoleTest, AWholeRedrawAfterATextScreenARepaintOrAFrameNotDrawn) {
    console.showScreen(text("ab#\ncd#"));  // a text screen is always whole...
    console.showPicture(text("ab#\ncX#"));
    EXPECT_EQ(output.calls.back(), frame("\x1b[2;2HX", false));  // ...and known afterwards
    host.repaint = true;
    console.refresh();
    EXPECT_EQ(output.calls.back(), frame("ab#\x1b[2HcX#", true));
    host.drawing = false;
    console.showPicture(text("ab#\nYX#"));  // not drawn: the terminal is given back
    host.drawing = true;
    console.showPicture(text("ab#\nYX#"));
    EXPECT_EQ(output.calls.back(), frame("ab#\x1b[2HYX#", true));
    console.showPicture(text("ab#\nYX#\nzz#"));  // another layout
    EXPECT_EQ(output.calls.back(), frame("ab#\x1b[2HYX#\x1b[3Hzz#", true));
}

TEST(TerminalConsole, WithFullRedrawEveryFrameGoesWhole) {
    RecordingOutput output;
    FakeHost host;
    const auto console = consoleFor({1, kTerminalStyle, true, true}, output, host);
    for (int i = 0; i < 3; ++i) {
        console->showPicture(text("ab#\ncd#"));
    }
    ASSERT_EQ(output.calls.size(), 3U);
    for (const auto& call : output.calls) {
        EXPECT_EQ(call, frame("ab#\x1b[2Hcd#", true));
    }
}

TEST(TerminalConsole, APipeGetsPlainTextWithEachScreenOnItsOwnLine) {
    RecordingOutput output;
    FakeHost host;
    host.drawing = false;  // whatever happens to a terminal does not concern a pipe
    const auto console = consoleFor({1, {Charset::Ascii, LineEnd::Lf}, false}, output, host);
    console->showScreen(text("a\xB2#\nb#"));
    console->showPicture(text("c#"));
    host.repaint = true;
    console->refresh();
    EXPECT_EQ(output.all(), "a%#\nb#\nc#");
}

// Every line is placed by the cursor: no line feed is sent, so whether or not the terminal's
// output processing turns '\n' into "\r\n", the bytes it shows are the bytes sent (no carriage
// return twice at every line end).
TEST(TerminalConsole, LinesArePlacedByTheCursorWithOrWithoutOutputProcessing) {
    for (const bool processing : {true, false}) {
        int master = -1;
        int slave = -1;
        ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        termios settings{};
        ::tcgetattr(slave, &settings);
        if (!processing) {
            settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        }
        ::tcsetattr(slave, TCSANOW, &settings);
        FakeHost host;
        const auto console = consoleFor({slave, kTerminalStyle, true}, systemCalls(), host);
        console->showScreen(text("first#\nsecond#\nthird#"));
        console->showPicture(text("first#\nsecond#\nthirD#"));
        const std::string sent = frame("first#\x1b[2Hsecond#\x1b[3Hthird#", true) + frame("\x1b[3;5HD", false);
        std::string shown;
        pollfd entry{master, POLLIN, 0};
        while (shown.size() < sent.size() && ::poll(&entry, 1, 5000) > 0) {
            char buffer[256];
            const ssize_t count = ::read(master, buffer, sizeof buffer);
            ASSERT_GT(count, 0);
            shown.append(buffer, static_cast<std::size_t>(count));
        }
        EXPECT_EQ(shown, sent) << processing;
        ::close(slave);
        ::close(master);
    }
}

// The program's own console, in a child process: when its output is gone for good it ends with
// a failure status, instead of dying by SIGPIPE or writing in a loop.
void drawWithStandardOutput(int replacement) {
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);  // keep the test's own terminal, if any, out of it
    if (replacement >= 0) {
        ::dup2(replacement, STDOUT_FILENO);
    } else {
        ::close(STDOUT_FILENO);
    }
    beginTerminalSession();
    const auto console = makeTerminalConsole();
    for (int frame = 0; frame < 3; ++frame) {
        console->showScreen(text("frame#"));
    }
    std::_Exit(0);
}

TEST(TerminalConsoleDeathTest, EndsWithAFailureWhenNobodyReadsThePipe) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            int ends[2];
            if (::pipe(ends) != 0) {
                std::_Exit(99);
            }
            ::close(ends[0]);
            drawWithStandardOutput(ends[1]);
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(TerminalConsoleDeathTest, EndsWithAFailureWhenStandardOutputIsClosed) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(drawWithStandardOutput(-1), ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

}  // namespace
}  // namespace brickstorm::platform
