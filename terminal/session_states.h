#pragma once

#include <cstdint>

// Who holds the terminal, and what each thing that can happen to a running program does to it:
// one table, so that a signal arriving in any state, on any thread, at any moment has one
// defined outcome. Pure: each platform gathers the facts (is the program in the terminal's
// foreground, are the settings still the game's), passes every event through sessionStep() one
// at a time, and carries out the step it returns.
//
//                Held             Stopping           GivenBack          Ending
//   Stop         give back,       (merged into the   stop               stop as is
//                stop             stop under way)
//   StopOver     -                foreground: take;  -                  -
//                                 background: ->GB
//   Continue     settings lost:   nothing (the       foreground: take;  nothing
//                set them again;  kernel drops a     background:
//                else nothing     stop it follows)   nothing
//   End          give back, end   end                end                end
//   Request      the first: asked of the program (the key reader is woken); a second
//                while one waits untaken, or a second SIGTERM or SIGHUP at all: as End.
//                A program that ends in order: that second one joins the ending under
//                way instead (a SIGTERM or SIGHUP over a waiting Ctrl+C takes its place)
//
// Stop: SIGTSTP (the stop key), SIGTTIN, SIGTTOU. The thread that gets it (the stopper) gives
// the terminal back, stops the program, and once continued sends StopOver; meanwhile every stop
// signal has its default action (the terminal is given back, so a plain stop is right).
// Continue: SIGCONT. Only the stopper takes the terminal again, so a resume enters once, and a
// SIGCONT while running changes nothing; only after a stop that could not be caught (SIGSTOP),
// when the shell has put its own settings back, are the game's set again.
// End: an ending signal (or a deferrable one while deferral is off), a crash, the program's own
// end, or its output lost for good. Request: SIGINT, SIGTERM or SIGHUP while the program has
// asked to handle them itself (deferral on); a hang-up also means the terminal is gone, so
// nothing more is drawn on it and it is not taken again. A second one ends a program that may
// be stuck; but a program that ends in order on SIGTERM and SIGHUP, waiting on nothing without
// a limit meanwhile, is never cut short by it: a closed terminal window sends SIGHUP twice, and
// the second must not cost an editor's recovery copy or a recording's end. SIGQUIT still ends
// any program at once.
// NotBegun (before the session) takes the terminal on Begin; everything else does there what it
// would do without a session.
namespace brickstorm::terminal {

enum class Hold : std::uint8_t {
    NotBegun,   // no session yet: nothing to give back
    Held,       // the game's: raw keys, its screen
    Stopping,   // given back; the stopper is stopping the program, or has just been continued
    GivenBack,  // as found, while the program runs in the background
    Ending,     // as found, for good: the program is on its way out
};

enum class SessionEvent : std::uint8_t {
    Begin,         // the program takes the terminal
    Stop,          // a stop signal
    StopOver,      // the stopper was continued (or its stop was discarded)
    Continue,      // SIGCONT
    EndingSignal,  // a signal that ends the program: `ending` says which kind
    End,           // the program ends by itself (a normal end, a crash, its output lost)
    TakeRequest,   // the program takes the ending request that waits
    DeferralOn,    // the program handles SIGINT, SIGTERM and SIGHUP itself from now on (`inOrder`)
    DeferralOff,   // they end it at once again
};

// The ending signals that the program may ask to handle itself, and all the others.
enum class Ending : std::uint8_t {
    None,
    Interrupt,  // SIGINT, Ctrl+C
    Terminate,  // SIGTERM
    HangUp,     // SIGHUP: the terminal is gone
    Other,      // any other ending signal: never deferred
};

// An event with the facts it depends on. The facts are the platform's to find out, at the
// moment the event is passed on.
struct SessionInput {
    SessionEvent event = SessionEvent::End;
    Ending ending = Ending::Other;  // EndingSignal: which one
    bool foreground = true;         // Continue, StopOver: the program has the terminal's foreground
    bool settingsKept = true;       // Continue: the terminal's settings are still the game's
    bool inOrder = false;           // DeferralOn: SIGTERM and SIGHUP end the program in order
};

struct SessionState {
    Hold hold = Hold::NotBegun;
    bool deferring = false;         // SIGINT, SIGTERM and SIGHUP are requests
    bool endsInOrder = false;       // ... and SIGTERM and SIGHUP end the program in order
    Ending request = Ending::None;  // the request that waits for the program to take it
    bool askedToEnd = false;        // a SIGTERM or SIGHUP has been asked of the program already
    bool terminalGone = false;      // a hang-up: nothing more is written and nothing taken

    bool operator==(const SessionState&) const = default;
};

// How the terminal is taken.
enum class Take : std::uint8_t {
    None,
    Whole,         // the game's settings and its screen
    SettingsOnly,  // the game's settings again, and a repaint: its screen was never left
};

// What the platform does for one event, in this order: give back, take, stop or end, wake.
struct SessionStep {
    SessionState next;
    bool giveBack = false;  // the terminal as found (after the frame in flight, if any)
    Take take = Take::None;
    bool stop = false;      // the caller stops the program now, by its signal's default action
    bool end = false;       // the caller ends the program now
    bool wakeKeys = false;  // a request is waiting: the key reader returns at once to say so

    bool operator==(const SessionStep&) const = default;
};

// The one transition function: what `input` does in `state`.
SessionStep sessionStep(const SessionState& state, const SessionInput& input);

// Frames may be written in this state: the terminal is the game's (or there is no session, and
// the console writes where it is told).
bool mayDraw(const SessionState& state);

}  // namespace brickstorm::terminal
