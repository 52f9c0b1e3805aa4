// The ways out that the game cannot be made to take on purpose, played by a helper program that
// takes the terminal as the game does: a stack overflow, and an ending signal in the middle of a
// large picture. The terminal must come back as it was, with nothing written after it is.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>

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

// Ended by `signal`, the settings as found, and the screen given back once, as the last thing
// written.
void expectGivenBackLast(PtySession& session, int signal) {
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
    EXPECT_EQ(count(session.output(), kGiveBackScreen), 1U);
}

TEST(TerminalTrouble, AStackOverflowGivesTheTerminalBack) {
    PtySession session(trouble("overflow"));
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

}  // namespace
}  // namespace brickstorm::platform
