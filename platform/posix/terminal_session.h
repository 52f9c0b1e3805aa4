#pragma once

// What the terminal console needs of the session that holds the terminal
// (beginTerminalSession / endTerminalSession in platform/terminal.h).
namespace brickstorm::platform {

// False while the terminal is given back (the program is stopped, or the session is over):
// a frame written then would land on the player's shell.
bool mayDrawOnTerminal();

// True once after each event that lost the picture on the display (a resume after a stop, a
// resize); the caller then shows its last picture again.
bool takeRepaintRequest();

// Writing to the display has failed for good: gives the terminal back and ends the program
// with a failure status. Never returns.
[[noreturn]] void endAfterLostOutput();

}  // namespace brickstorm::platform
