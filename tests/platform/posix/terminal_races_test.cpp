// The real game on a pseudo-terminal, driven through the races that a user's shell and the
// system can start: stops, continues and ending signals in quick succession, in every order the
// machine happens to deliver them. Whatever the order, the terminal must come back as it was
// found, never be taken after its last give-back, and be entered once per give-back.
//
// Each race runs a few rounds in an ordinary test run; BRICKSTORM_RACE_ROUNDS asks for more
// (thousands find what one round in hundreds does).
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/pty_session.h"
#include "support/sanitizers.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

using testing::PtySession;
using namespace std::chrono_literals;

constexpr int kDefaultRounds = 8;

int rounds() {
    const char* asked = std::getenv("BRICKSTORM_RACE_ROUNDS");
    const int count = asked != nullptr ? std::atoi(asked) : 0;
    return count > 0 ? count : kDefaultRounds;
}

PtySession::Options game() {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    return options;
}

bool isRaw(const termios& settings) {
    return (settings.c_lflag & ICANON) == 0 && (settings.c_lflag & ECHO) == 0;
}

std::size_t count(std::string_view text, std::string_view part) {
    std::size_t found = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

// What is wrong with the takes and give-backs in `output`, if anything: they must alternate,
// beginning with a take and ending with a give-back, with nothing written after it.
std::string takesAndGiveBacksFault(std::string_view output) {
    bool held = false;
    std::size_t at = 0;
    for (;;) {
        const auto take = output.find(kTakeScreen, at);
        const auto giveBack = output.find(kGiveBackScreen, at);
        if (take == std::string_view::npos && giveBack == std::string_view::npos) {
            break;
        }
        if (take < giveBack) {
            if (held) {
                return "taken twice in a row at byte " + std::to_string(take);
            }
            held = true;
            at = take + kTakeScreen.size();
        } else {
            if (!held) {
                return "given back twice in a row at byte " + std::to_string(giveBack);
            }
            held = false;
            at = giveBack + kGiveBackScreen.size();
        }
    }
    if (held) {
        return "taken after the last give-back";
    }
    if (at != output.size()) {
        return std::to_string(output.size() - at) + " bytes written after the last give-back";
    }
    return {};
}

// Waits until the game has the terminal and has drawn (so that its threads are all running).
void expectPlaying(PtySession& session) {
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForSettings(isRaw)) << "never in raw mode";
    ASSERT_TRUE(session.waitForOutputContaining("- Press any key to continue -")) << "never drew";
}

// Continues the game each time it is found stopped, until it has ended (a signal sent to a
// stopped program waits there, so an ending may need a continue to happen at all).
std::optional<int> continueUntilEnded(PtySession& session) {
    for (int tries = 0; tries < 200; ++tries) {
        if (const auto status = session.waitForExit(50ms)) {
            return status;
        }
        if (session.waitUntilStopped(0ms)) {
            session.sendSignal(SIGCONT);
        }
    }
    return session.waitForExit();
}

// The round is over and the program ended by `signal`: the terminal as found, its screen given
// back as many times as it was taken and last.
void expectEndedWellBy(PtySession& session, int signal) {
    const auto status = continueUntilEnded(session);
    ASSERT_TRUE(status.has_value()) << "still running";
    ASSERT_TRUE(WIFSIGNALED(*status)) << "status " << *status;
    EXPECT_EQ(WTERMSIG(*status), signal) << strsignal(WTERMSIG(*status));
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
    EXPECT_EQ(takesAndGiveBacksFault(session.output()), "");
}

// Stopped with the terminal given back.
void expectStoppedGivenBack(PtySession& session) {
    ASSERT_TRUE(session.waitUntilStopped()) << "not stopped";
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
    EXPECT_TRUE(session.waitForOutput([](std::string_view shown) { return shown.ends_with(kGiveBackScreen); }))
        << "stopped without the screen given back";
}

struct Race {
    const char* name;
    int endingSignal;                       // the signal the round ends by
    std::function<void(PtySession&)> play;  // from a game that plays
};

class TerminalProgramRaces : public ::testing::TestWithParam<Race> {};

using testing::kUnderThreadSanitizer;

TEST_P(TerminalProgramRaces, LeaveTheTerminalAsItWasFound) {
    if (kUnderThreadSanitizer) {
        // The stop handler raises its stop first thing and relies on the kernel to keep it
        // pending, blocked, until the handler unblocks it (so that a SIGCONT sent after it
        // discards it). The thread sanitizer delivers signals to the program's handlers itself,
        // deferred to points of its own choosing, and does not keep that rule every time: about
        // one round in fifty of these races then neither stops nor ends under it. The ordinary
        // and address-sanitizer builds run them.
        GTEST_SKIP() << "signal masks inside handlers do not hold under the thread sanitizer";
    }
    const int total = rounds();
    for (int round = 0; round < total; ++round) {
        SCOPED_TRACE("round " + std::to_string(round + 1));
        PtySession session(game());
        expectPlaying(session);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
        GetParam().play(session);
        expectEndedWellBy(session, GetParam().endingSignal);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "output: "
                          << ::testing::PrintToString(session.output().substr(
                                 session.output().size() > 400 ? session.output().size() - 400 : 0));
            return;
        }
    }
}

// Stopped, continued and ended in a burst, as `kill -CONT; kill -TSTP; kill -TERM` does.
void continueStopTerminate(PtySession& session) {
    session.sendSignal(SIGCONT);
    session.sendSignal(SIGTSTP);
    session.sendSignal(SIGTERM);
}

// A shell that exits hangs up its stopped jobs and continues them.
void hangUpAfterAStop(PtySession& session) {
    session.sendSignal(SIGTSTP);
    expectStoppedGivenBack(session);
    session.sendSignal(SIGHUP);
    session.sendSignal(SIGCONT);
}

void continueThenTerminateAfterAStop(PtySession& session) {
    session.sendSignal(SIGTSTP);
    expectStoppedGivenBack(session);
    session.sendSignal(SIGCONT);
    session.sendSignal(SIGTERM);
}

// Stops and resumes, by each of the stop signals, with continues while the game runs: one
// enter per resume, and none for a continue while running.
void stopsAndResumes(PtySession& session) {
    std::size_t taken = count(session.output(), kTakeScreen);
    for (const int stop : {SIGTSTP, SIGTTIN, SIGTTOU, SIGTSTP}) {
        SCOPED_TRACE(strsignal(stop));
        session.sendSignal(stop);
        expectStoppedGivenBack(session);
        session.sendSignal(SIGCONT);
        session.sendSignal(SIGCONT);
        ++taken;
        ASSERT_TRUE(session.waitForOutput([&](std::string_view shown) {
            return count(shown, kTakeScreen) >= taken;
        })) << "not taken again";
        ASSERT_TRUE(session.waitForSettings(isRaw)) << "not raw again";
    }
    session.sendSignal(SIGCONT);
    session.sendSignal(SIGCONT);
    session.sendSignal(SIGTERM);
    ASSERT_TRUE(session.waitForExit().has_value());
    EXPECT_EQ(count(session.output(), kTakeScreen), taken) << "entered more than once per resume";
}

// Stop signals and continues interleaved without waiting, then an end.
void stopsAndContinuesInABurst(PtySession& session) {
    for (int burst = 0; burst < 5; ++burst) {
        session.sendSignal(SIGTSTP);
        session.sendSignal(SIGCONT);
    }
    session.sendSignal(SIGTTOU);
    session.sendSignal(SIGCONT);
    session.sendSignal(SIGINT);
}

INSTANTIATE_TEST_SUITE_P(
    , TerminalProgramRaces,
    ::testing::Values(Race{"ContinueStopTerminate", SIGTERM, continueStopTerminate},
                      Race{"HangUpThenContinueAfterAStop", SIGHUP, hangUpAfterAStop},
                      Race{"ContinueThenTerminateAfterAStop", SIGTERM, continueThenTerminateAfterAStop},
                      Race{"StopsAndResumesEnterOnceEach", SIGTERM, stopsAndResumes},
                      Race{"StopsAndContinuesInABurst", SIGINT, stopsAndContinuesInABurst}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brickstorm::platform
