#include "terminal/session_states.h"

#include <gtest/gtest.h>

#include <ostream>

namespace brickstorm::terminal {

void PrintTo(const SessionState& state, std::ostream* out) {
    *out << "{hold " << static_cast<int>(state.hold) << (state.deferring ? ", deferring" : "")
         << (state.endsInOrder ? ", in order" : "") << ", request " << static_cast<int>(state.request)
         << (state.askedToEnd ? ", asked to end" : "") << (state.terminalGone ? ", terminal gone" : "") << "}";
}

void PrintTo(const SessionStep& step, std::ostream* out) {
    PrintTo(step.next, out);
    *out << (step.giveBack ? " give back" : "") << " take " << static_cast<int>(step.take)
         << (step.stop ? " stop" : "") << (step.end ? " end" : "") << (step.wakeKeys ? " wake" : "");
}

namespace {

SessionState in(Hold hold) {
    SessionState state;
    state.hold = hold;
    return state;
}

SessionInput event(SessionEvent what) { return {.event = what}; }

SessionInput continued(bool foreground, bool settingsKept = true) {
    return {.event = SessionEvent::Continue, .foreground = foreground, .settingsKept = settingsKept};
}

SessionInput stopOver(bool foreground) { return {.event = SessionEvent::StopOver, .foreground = foreground}; }

SessionInput signalled(Ending kind) { return {.event = SessionEvent::EndingSignal, .ending = kind}; }

// What a step does, besides the state it leaves.
enum Does : unsigned {
    kNothing = 0,
    kGiveBack = 1,
    kTakeWhole = 2,
    kTakeSettings = 4,
    kStop = 8,
    kEnd = 16,
    kWake = 32,
};

SessionStep step(const SessionState& next, unsigned does) {
    SessionStep result{next};
    result.giveBack = (does & kGiveBack) != 0;
    result.take = (does & kTakeWhole) != 0      ? Take::Whole
                  : (does & kTakeSettings) != 0 ? Take::SettingsOnly
                                                : Take::None;
    result.stop = (does & kStop) != 0;
    result.end = (does & kEnd) != 0;
    result.wakeKeys = (does & kWake) != 0;
    return result;
}

struct Cell {
    const char* what = "";
    SessionState state;
    SessionInput input;
    SessionStep expected;
};

void expectCells(std::initializer_list<Cell> cells) {
    for (const Cell& cell : cells) {
        SCOPED_TRACE(cell.what);
        EXPECT_EQ(sessionStep(cell.state, cell.input), cell.expected);
    }
}

// Every state against the stop, the stopper's return and SIGCONT: a resume takes the terminal
// once, by one thread; a SIGCONT while running changes nothing.
TEST(SessionStates, StopsAndResumes) {
    const SessionState stopping = in(Hold::Stopping);
    expectCells({
        {"a stop while held", in(Hold::Held), event(SessionEvent::Stop), step(stopping, kGiveBack | kStop)},
        {"a stop while stopping", stopping, event(SessionEvent::Stop), step(stopping, kNothing)},
        {"a stop in the background", in(Hold::GivenBack), event(SessionEvent::Stop), step(stopping, kStop)},
        {"a stop while ending", in(Hold::Ending), event(SessionEvent::Stop), step(in(Hold::Ending), kStop)},
        {"a stop before the session", in(Hold::NotBegun), event(SessionEvent::Stop),
         step(in(Hold::NotBegun), kStop)},

        {"the stopper continued in the foreground", stopping, stopOver(true),
         step(in(Hold::Held), kTakeWhole)},
        {"the stopper continued in the background", stopping, stopOver(false),
         step(in(Hold::GivenBack), kNothing)},
        {"the stopper continued after the end", in(Hold::Ending), stopOver(true),
         step(in(Hold::Ending), kNothing)},
        {"the stopper continued, held already", in(Hold::Held), stopOver(true),
         step(in(Hold::Held), kNothing)},

        {"a continue while running", in(Hold::Held), continued(true), step(in(Hold::Held), kNothing)},
        {"a continue while running in the background", in(Hold::Held), continued(false, false),
         step(in(Hold::Held), kNothing)},
        {"a continue after an uncaught stop and the shell's settings", in(Hold::Held), continued(true, false),
         step(in(Hold::Held), kTakeSettings)},
        {"a continue while stopping", stopping, continued(true), step(stopping, kNothing)},
        {"a continue in the foreground after bg", in(Hold::GivenBack), continued(true),
         step(in(Hold::Held), kTakeWhole)},
        {"a continue in the background", in(Hold::GivenBack), continued(false),
         step(in(Hold::GivenBack), kNothing)},
        {"a continue while ending", in(Hold::Ending), continued(true), step(in(Hold::Ending), kNothing)},
        {"a continue before the session", in(Hold::NotBegun), continued(true),
         step(in(Hold::NotBegun), kNothing)},
    });
}

// Every state against the ways out: the terminal is given back once, by the first of them.
TEST(SessionStates, Ends) {
    for (const SessionInput& input :
         {event(SessionEvent::End), signalled(Ending::Other), signalled(Ending::Terminate),
          signalled(Ending::HangUp), signalled(Ending::Interrupt)}) {
        SCOPED_TRACE(static_cast<int>(input.ending));
        expectCells({
            {"held", in(Hold::Held), input, step(in(Hold::Ending), kGiveBack | kEnd)},
            {"stopping", in(Hold::Stopping), input, step(in(Hold::Ending), kEnd)},
            {"given back", in(Hold::GivenBack), input, step(in(Hold::Ending), kEnd)},
            {"ending", in(Hold::Ending), input, step(in(Hold::Ending), kEnd)},
            {"before the session", in(Hold::NotBegun), input, step(in(Hold::NotBegun), kEnd)},
        });
    }
}

TEST(SessionStates, BeginsOnce) {
    expectCells({
        {"begin", in(Hold::NotBegun), event(SessionEvent::Begin), step(in(Hold::Held), kTakeWhole)},
        {"begin again", in(Hold::Held), event(SessionEvent::Begin), step(in(Hold::Held), kNothing)},
        {"begin after the end", in(Hold::Ending), event(SessionEvent::Begin),
         step(in(Hold::Ending), kNothing)},
    });
}

SessionState deferring(Hold hold, Ending request = Ending::None, bool askedToEnd = false, bool gone = false) {
    SessionState state = in(hold);
    state.deferring = true;
    state.request = request;
    state.askedToEnd = askedToEnd;
    state.terminalGone = gone;
    return state;
}

// With deferral on, SIGINT, SIGTERM and SIGHUP are asked of the program; a stuck program can
// still be ended by a second one.
TEST(SessionStates, DefersTheEndingsTheProgramHandles) {
    const Hold held = Hold::Held;
    expectCells({
        {"Ctrl+C", deferring(held), signalled(Ending::Interrupt),
         step(deferring(held, Ending::Interrupt), kWake)},
        {"SIGTERM", deferring(held), signalled(Ending::Terminate),
         step(deferring(held, Ending::Terminate, true), kWake)},
        {"SIGHUP: the terminal is gone", deferring(held), signalled(Ending::HangUp),
         step(deferring(held, Ending::HangUp, true, true), kWake)},
        {"SIGTERM while stopping", deferring(Hold::Stopping), signalled(Ending::Terminate),
         step(deferring(Hold::Stopping, Ending::Terminate, true), kWake)},
        {"SIGTERM in the background", deferring(Hold::GivenBack), signalled(Ending::Terminate),
         step(deferring(Hold::GivenBack, Ending::Terminate, true), kWake)},
        {"SIGQUIT is never deferred", deferring(held), signalled(Ending::Other),
         step(deferring(Hold::Ending), kGiveBack | kEnd)},
        {"a crash or the program's own end", deferring(held), event(SessionEvent::End),
         step(deferring(Hold::Ending), kGiveBack | kEnd)},
        {"while ending", deferring(Hold::Ending), signalled(Ending::Terminate),
         step(deferring(Hold::Ending), kEnd)},

        {"a second Ctrl+C before the first is taken", deferring(held, Ending::Interrupt),
         signalled(Ending::Interrupt), step(deferring(Hold::Ending, Ending::Interrupt), kGiveBack | kEnd)},
        {"Ctrl+C after the last one was taken", deferring(held), signalled(Ending::Interrupt),
         step(deferring(held, Ending::Interrupt), kWake)},
        {"Ctrl+C after a SIGTERM was taken", deferring(held, Ending::None, true), signalled(Ending::Interrupt),
         step(deferring(held, Ending::Interrupt, true), kWake)},
        {"SIGTERM while a Ctrl+C waits", deferring(held, Ending::Interrupt), signalled(Ending::Terminate),
         step(deferring(Hold::Ending, Ending::Interrupt), kGiveBack | kEnd)},
        {"a second SIGTERM, the first taken", deferring(held, Ending::None, true),
         signalled(Ending::Terminate), step(deferring(Hold::Ending, Ending::None, true), kGiveBack | kEnd)},
        {"SIGHUP after a SIGTERM", deferring(held, Ending::Terminate, true), signalled(Ending::HangUp),
         step(deferring(Hold::Ending, Ending::Terminate, true), kGiveBack | kEnd)},

        {"the request taken", deferring(held, Ending::Terminate, true), event(SessionEvent::TakeRequest),
         step(deferring(held, Ending::None, true), kNothing)},
        {"deferral off", deferring(held), event(SessionEvent::DeferralOff), step(in(held), kNothing)},
        {"deferral on", in(held), event(SessionEvent::DeferralOn), step(deferring(held), kNothing)},
    });
}

SessionState inOrder(Hold hold, Ending request = Ending::None, bool askedToEnd = false, bool gone = false) {
    SessionState state = deferring(hold, request, askedToEnd, gone);
    state.endsInOrder = true;
    return state;
}

// A program that ends in order on SIGTERM and SIGHUP: what comes after a request joins the
// ending under way instead of cutting it short (a closed window sends SIGHUP twice, and the
// editor's recovery copy must still be written). SIGQUIT still ends it at once.
TEST(SessionStates, AProgramThatEndsInOrderIsNeverCutShortByASecondSignal) {
    const Hold held = Hold::Held;
    expectCells({
        {"in order on",
         in(held),
         {.event = SessionEvent::DeferralOn, .inOrder = true},
         step(inOrder(held), kNothing)},
        {"in order off with deferral", inOrder(held), event(SessionEvent::DeferralOff),
         step(in(held), kNothing)},
        {"SIGHUP", inOrder(held), signalled(Ending::HangUp),
         step(inOrder(held, Ending::HangUp, true, true), kWake)},
        {"a second SIGHUP before the first is taken", inOrder(held, Ending::HangUp, true, true),
         signalled(Ending::HangUp), step(inOrder(held, Ending::HangUp, true, true), kNothing)},
        {"a second SIGHUP, the first taken", inOrder(held, Ending::None, true, true),
         signalled(Ending::HangUp), step(inOrder(held, Ending::None, true, true), kNothing)},
        {"a second SIGTERM, the first taken", inOrder(held, Ending::None, true), signalled(Ending::Terminate),
         step(inOrder(held, Ending::None, true), kNothing)},
        {"SIGHUP after a SIGTERM: the terminal is gone", inOrder(held, Ending::Terminate, true),
         signalled(Ending::HangUp), step(inOrder(held, Ending::Terminate, true, true), kNothing)},
        {"a second Ctrl+C before the first is taken", inOrder(held, Ending::Interrupt),
         signalled(Ending::Interrupt), step(inOrder(held, Ending::Interrupt), kNothing)},
        {"SIGTERM over a waiting Ctrl+C takes its place", inOrder(held, Ending::Interrupt),
         signalled(Ending::Terminate), step(inOrder(held, Ending::Terminate, true), kNothing)},
        {"SIGHUP over a waiting Ctrl+C takes its place", inOrder(held, Ending::Interrupt),
         signalled(Ending::HangUp), step(inOrder(held, Ending::HangUp, true, true), kNothing)},
        {"Ctrl+C while a SIGTERM waits", inOrder(held, Ending::Terminate, true), signalled(Ending::Interrupt),
         step(inOrder(held, Ending::Terminate, true), kNothing)},
        {"Ctrl+C after a SIGTERM was taken", inOrder(held, Ending::None, true), signalled(Ending::Interrupt),
         step(inOrder(held, Ending::Interrupt, true), kWake)},
        {"SIGQUIT still ends at once", inOrder(held, Ending::Terminate, true), signalled(Ending::Other),
         step(inOrder(Hold::Ending, Ending::Terminate, true), kGiveBack | kEnd)},
        {"after the end", inOrder(Hold::Ending, Ending::None, true), signalled(Ending::Terminate),
         step(inOrder(Hold::Ending, Ending::None, true), kEnd)},
    });
}

// After a hang-up nothing is drawn and the terminal is not taken again; the way out still
// tries to put the settings back.
TEST(SessionStates, AfterAHangUpNothingIsTakenAgain) {
    expectCells({
        {"the stopper continued", deferring(Hold::Stopping, Ending::HangUp, true, true), stopOver(true),
         step(deferring(Hold::GivenBack, Ending::HangUp, true, true), kNothing)},
        {"a continue in the background", deferring(Hold::GivenBack, Ending::HangUp, true, true),
         continued(true), step(deferring(Hold::GivenBack, Ending::HangUp, true, true), kNothing)},
        {"a continue after an uncaught stop", deferring(Hold::Held, Ending::HangUp, true, true),
         continued(true, false), step(deferring(Hold::Held, Ending::HangUp, true, true), kNothing)},
        {"the end", deferring(Hold::Held, Ending::None, true, true), event(SessionEvent::End),
         step(deferring(Hold::Ending, Ending::None, true, true), kGiveBack | kEnd)},
    });
    EXPECT_FALSE(mayDraw(deferring(Hold::Held, Ending::HangUp, true, true)));
}

TEST(SessionStates, DrawsOnlyOnATerminalItHolds) {
    EXPECT_TRUE(mayDraw(in(Hold::NotBegun)));
    EXPECT_TRUE(mayDraw(in(Hold::Held)));
    EXPECT_TRUE(mayDraw(deferring(Hold::Held, Ending::Terminate, true)));
    EXPECT_FALSE(mayDraw(in(Hold::Stopping)));
    EXPECT_FALSE(mayDraw(in(Hold::GivenBack)));
    EXPECT_FALSE(mayDraw(in(Hold::Ending)));
}

}  // namespace
}  // namespace brickstorm::terminal
