#include "terminal/session_states.h"

namespace brickstorm::terminal {

namespace {

// The terminal as found, for good.
SessionStep ending(const SessionState& state) {
    SessionStep step{state};
    step.next.hold = state.hold == Hold::NotBegun ? Hold::NotBegun : Hold::Ending;
    step.giveBack = state.hold == Hold::Held;
    step.end = true;
    return step;
}

SessionStep stop(const SessionState& state) {
    SessionStep step{state};
    switch (state.hold) {
    case Hold::Held: step.giveBack = true; [[fallthrough]];
    case Hold::GivenBack:
        step.next.hold = Hold::Stopping;
        step.stop = true;
        return step;
    case Hold::Stopping:
        // It arrived before the stopper stopped (the stop signals have their default action from
        // then on): one stop for both.
        return step;
    case Hold::NotBegun:
    case Hold::Ending: step.stop = true; return step;
    }
    return step;
}

// The stopper runs again.
SessionStep stopOver(const SessionState& state, const SessionInput& input) {
    SessionStep step{state};
    if (state.hold != Hold::Stopping) {
        return step;
    }
    if (input.foreground && !state.terminalGone) {
        step.next.hold = Hold::Held;
        step.take = Take::Whole;
    } else {
        // In the background the shell keeps the terminal until it brings the program to the
        // foreground, which continues it again.
        step.next.hold = Hold::GivenBack;
    }
    return step;
}

SessionStep resume(const SessionState& state, const SessionInput& input) {
    SessionStep step{state};
    const bool mayTake = input.foreground && !state.terminalGone;
    switch (state.hold) {
    case Hold::Held:
        if (mayTake && !input.settingsKept) {
            step.take = Take::SettingsOnly;
        }
        return step;
    case Hold::Stopping:
        // The stopper takes the terminal again once it runs: the kernel has dropped its stop if
        // this continue came after it, and left it due if it came before.
        return step;
    case Hold::GivenBack:
        if (mayTake) {
            step.next.hold = Hold::Held;
            step.take = Take::Whole;
        }
        return step;
    case Hold::NotBegun:
    case Hold::Ending: return step;
    }
    return step;
}

bool deferrable(Ending kind) {
    return kind == Ending::Interrupt || kind == Ending::Terminate || kind == Ending::HangUp;
}

bool endsTheProgram(Ending kind) { return kind == Ending::Terminate || kind == Ending::HangUp; }

// SIGTERM and SIGHUP say the program must end: it is asked once. SIGINT asks a question that the
// player may answer with "go on", so it asks again once the last one has been taken. What comes
// while a request waits, or a second SIGTERM or SIGHUP, ends a program that may be stuck at once;
// a program that ends in order gets nothing new from it, as it is on its way out already.
SessionStep endingSignal(const SessionState& state, Ending kind) {
    const bool asks =
        state.deferring && deferrable(kind) && state.hold != Hold::NotBegun && state.hold != Hold::Ending;
    const bool again = state.request != Ending::None || (state.askedToEnd && endsTheProgram(kind));
    if (!asks || (again && !state.endsInOrder)) {
        return ending(state);
    }
    SessionStep step{state};
    step.next.terminalGone = state.terminalGone || kind == Ending::HangUp;
    if (again) {
        // One answer for both. An ending over a waiting Ctrl+C takes its place, since the
        // question Ctrl+C asks no longer matters; the key reader was woken for that one already.
        if (state.request == Ending::Interrupt && endsTheProgram(kind)) {
            step.next.request = kind;
            step.next.askedToEnd = true;
        }
        return step;
    }
    step.next.request = kind;
    step.next.askedToEnd = state.askedToEnd || endsTheProgram(kind);
    step.wakeKeys = true;
    return step;
}

}  // namespace

SessionStep sessionStep(const SessionState& state, const SessionInput& input) {
    SessionStep step{state};
    switch (input.event) {
    case SessionEvent::Begin:
        if (state.hold == Hold::NotBegun) {
            step.next.hold = Hold::Held;
            step.take = Take::Whole;
        }
        return step;
    case SessionEvent::Stop: return stop(state);
    case SessionEvent::StopOver: return stopOver(state, input);
    case SessionEvent::Continue: return resume(state, input);
    case SessionEvent::EndingSignal: return endingSignal(state, input.ending);
    case SessionEvent::End: return ending(state);
    case SessionEvent::TakeRequest: step.next.request = Ending::None; return step;
    case SessionEvent::DeferralOn:
        step.next.deferring = true;
        step.next.endsInOrder = input.inOrder;
        return step;
    case SessionEvent::DeferralOff:
        step.next.deferring = false;
        step.next.endsInOrder = false;
        return step;
    }
    return step;
}

bool mayDraw(const SessionState& state) {
    return (state.hold == Hold::NotBegun || state.hold == Hold::Held) && !state.terminalGone;
}

}  // namespace brickstorm::terminal
