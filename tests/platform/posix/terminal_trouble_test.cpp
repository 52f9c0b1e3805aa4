// The ways out that the game cannot be made to take on purpose, played by a helper program that
// takes the terminal as the game does: a stack overflow, and an ending signal in the middle of a
// large picture. The terminal must come back as it was, with nothing written after it is.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/pty_session.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

using testing::PtySession;
using namespace std::chrono_literals;

PtySession::Options trouble(const char* mode) {
    PtySession::Options options;
    options.program = BRICKSTORM_TROUBLE_BINARY;
    options.arguments = {mode};
    return options;
}

std::size_t count(std::string_view text, std::string_view part) {
    std::size_t found = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

// Ended by `signal`, the settings as found, and the screen given back `times` times in all, as
// the last thing written.
void expectGivenBackLast(PtySession& session, int signal, std::size_t times = 1) {
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    ASSERT_TRUE(WIFSIGNALED(*status)) << "status " << *status;
    EXPECT_EQ(WTERMSIG(*status), signal) << strsignal(WTERMSIG(*status));
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
    ASSERT_TRUE(session.waitForOutput([](std::string_view shown) { return shown.ends_with(kGiveBackScreen); }))
        << "the screen was not given back last";
    // The program is gone, but its last bytes may still be on their way through the terminal.
    const std::size_t size = session.output().size();
    EXPECT_FALSE(session.waitForOutput([&](std::string_view shown) { return shown.size() > size; }, 200ms))
        << "written after the give-back";
    EXPECT_EQ(count(session.output(), kGiveBackScreen), times);
}

TEST(TerminalTrouble, AStackOverflowGivesTheTerminalBack) {
    PtySession session(trouble("overflow"));
    ASSERT_TRUE(session.started());
    expectGivenBackLast(session, SIGSEGV);
}

// Every thread the game starts has a crash stack of its own.
TEST(TerminalTrouble, AStackOverflowOnAnotherThreadGivesTheTerminalBack) {
    PtySession session(trouble("overflow-thread"));
    ASSERT_TRUE(session.started());
    expectGivenBackLast(session, SIGSEGV);
}

// The picture under way is finished before the give-back (or never started): its bytes never
// land on the player's shell.
TEST(TerminalTrouble, AnEndingSignalDuringALargeWriteLeavesNothingAfterTheGiveBack) {
    constexpr int kRounds = 25;
    constexpr std::size_t kSomePictures = std::size_t{64} * 1024;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        PtySession session(trouble("draw"));
        ASSERT_TRUE(session.started());
        ASSERT_TRUE(session.waitForOutput([](std::string_view shown) { return shown.size() > kSomePictures; }))
            << "drew nothing";
        session.sendSignal(SIGTERM);
        expectGivenBackLast(session, SIGTERM);
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}

// The way out waits for the frame being written: it ends whole, before the give-back.
TEST(TerminalTrouble, AnEndingSignalWaitsForTheFrameInFlight) {
    PtySession session(trouble("late"));
    ASSERT_TRUE(session.started());
    expectGivenBackLast(session, SIGTERM);
    const std::string shown = session.output();
    EXPECT_NE(shown.find(std::string("<frame>") + std::string(kGiveBackScreen)), std::string::npos);
}

// A program that handles its ending signals itself. Each signal is sent once the one before it
// has been reported, so that the outcome of each does not depend on how fast the program is.
struct Requests {
    const char* name;
    std::vector<std::pair<int, const char*>> reported;  // a signal, and the line it must bring
    int endingSignal;                                   // then this one must end the program
};

class TerminalTroubleRequests : public ::testing::TestWithParam<Requests> {};

TEST_P(TerminalTroubleRequests, AreReportedByTheKeyReaderUntilOneEndsTheProgram) {
    PtySession session(trouble("requests"));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForOutputContaining("ready")) << "never read keys";
    for (const auto& [signal, line] : GetParam().reported) {
        session.sendSignal(signal);
        ASSERT_TRUE(session.waitForOutputContaining(line)) << "no " << line << " after " << strsignal(signal);
        ASSERT_FALSE(session.hasExited());
    }
    session.sendSignal(GetParam().endingSignal);
    expectGivenBackLast(session, GetParam().endingSignal);
}

INSTANTIATE_TEST_SUITE_P(, TerminalTroubleRequests,
                         ::testing::Values(
                             // Ctrl+C asks a question the player may answer with "go on": it asks each time.
                             Requests{"InterruptAsksEachTime",
                                      {{SIGINT, "[request interrupt 1]"}, {SIGINT, "[request interrupt 2]"}},
                                      SIGQUIT},
                             Requests{"TerminateAsksOnce", {{SIGTERM, "[request terminate 1]"}}, SIGTERM},
                             Requests{"HangUpAsksOnce", {{SIGHUP, "[request hang-up 1]"}}, SIGHUP},
                             Requests{"InterruptThenTerminate",
                                      {{SIGINT, "[request interrupt 1]"}, {SIGTERM, "[request terminate 2]"}},
                                      SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

// Mouse reports are the game's only while it holds the terminal: off on every give-back, so the
// shell never gets them, and on again when it is taken again.
TEST(TerminalTrouble, MouseReportingIsOffWheneverTheTerminalIsGivenBack) {
    PtySession session(trouble("mouse"));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForOutputContaining("mouse"));
    EXPECT_NE(session.output().find(kMouseReportingOn), std::string::npos);
    const std::string givenBack = std::string(kMouseReportingOff) + std::string(kGiveBackScreen);
    session.sendSignal(SIGTSTP);
    ASSERT_TRUE(session.waitUntilStopped());
    EXPECT_TRUE(session.waitForOutput([&](std::string_view shown) { return shown.ends_with(givenBack); }))
        << "stopped with the mouse reported";
    session.sendSignal(SIGCONT);
    // Taken with the mouse on: at the start (the take, then the program turning it on) and after
    // the resume (the take turning it on again).
    const std::string takenWithMouse = std::string(kTakeScreen) + std::string(kMouseReportingOn);
    EXPECT_TRUE(session.waitForOutput([&](std::string_view shown) {
        return count(shown, takenWithMouse) == 2;
    })) << "the mouse was not reported again after the resume: "
        << ::testing::PrintToString(session.output());
    session.sendSignal(SIGTERM);
    expectGivenBackLast(session, SIGTERM, 2);
    EXPECT_TRUE(session.output().ends_with(givenBack));
}

}  // namespace
}  // namespace brickstorm::platform
