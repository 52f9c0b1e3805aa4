#pragma once

// What the terminal console needs of the session that holds the terminal
// (beginTerminalSession / endTerminalSession in platform/terminal.h).
namespace brickstorm::platform {

// Before a frame is written: false while the terminal is given back (the program is stopped,
// or the session is over), as a frame written then would land on the player's shell. After
// true, the terminal is not given back until endDrawingOnTerminal(): a way out that comes
// meanwhile waits for the frame, so that nothing lands after the give-back. Every signal but
// the faults is held back from the calling thread in between (their handlers wait for it); a
// fault in the middle of the frame gives the frame up.
bool beginDrawingOnTerminal();
void endDrawingOnTerminal();

// True once after each event that lost the picture on the display (a resume after a stop, a
// resize); the caller then shows its last picture again.
bool takeRepaintRequest();

// Frames are coloured: the give-back then also puts the terminal's own colours back, in case a
// frame was cut short. Call before the session's threads start.
void noteColourOnTerminal();

// The descriptor that becomes readable when an ending request comes, for the key reader to
// wait on together with its input (read it empty before waiting again); -1 without a session.
int endingRequestWakeUp();

// The descriptor that frames go to on a terminal: the session's own, non-blocking one (see
// beginTerminalSession), or standard output without a session.
int terminalOutput();

// True once the program is on its way out (stopWaitingOnTheTerminal, or a way out that found a
// frame the terminal would not take): a frame waiting for room gives up.
bool givingUpOnTheTerminal();

// Writing to the display has failed for good: gives the terminal back and ends the program
// with `status`. Never returns.
[[noreturn]] void endAfterLostOutput(int status);

// Writing to the terminal has failed for good: it has been closed. Handled as the hang-up it
// is, as if SIGHUP had come: a program that handles its own ending is asked to end, in order;
// any other ends at once by SIGHUP, the terminal given back as far as it still can be.
void endAfterClosedTerminal();

}  // namespace brickstorm::platform
