#pragma once

#include <string>
#include <string_view>

#include "render/colour.h"

// The control sequences the game sends to a terminal: the common subset that terminal
// emulators (and the Windows console in its virtual-terminal mode) understand. A terminal that
// lacks one of the optional modes ignores it.
namespace brickstorm::terminal {

// Taking the display: the alternate screen (the player's scrollback is left untouched and comes
// back as it was), the cursor hidden, and automatic line wrap off, so that a terminal narrower
// than the picture cuts its lines instead of scrambling it.
inline constexpr std::string_view kTakeScreen = "\x1b[?1049h\x1b[?25l\x1b[?7l";

// Giving it back, in the reverse order. It first ends any synchronized update that a frame cut
// short by a signal left open, or the terminal would hold back everything after it.
inline constexpr std::string_view kGiveBackScreen = "\x1b[?2026l\x1b[?7h\x1b[?25h\x1b[?1049l";

// Mouse reports: presses and releases, drags with a button held, and the SGR form of the
// report, which has no limit on the column; turned off in the reverse order.
inline constexpr std::string_view kMouseReportingOn = "\x1b[?1000h\x1b[?1002h\x1b[?1006h";
inline constexpr std::string_view kMouseReportingOff = "\x1b[?1006l\x1b[?1002l\x1b[?1000l";

// Every character attribute back to the terminal's own (the colour included): sent after every
// coloured frame and before the give-back, so that the terminal is never left coloured.
inline constexpr std::string_view kResetAttributes = "\x1b[0m";

// Cursor to the top left, then erase the whole display.
inline constexpr std::string_view kClearScreen = "\x1b[H\x1b[2J";

// Synchronized output: the terminal shows nothing of what comes between these two until the
// second arrives, so even a terminal that draws while it reads never shows half a frame.
inline constexpr std::string_view kBeginUpdate = "\x1b[?2026h";
inline constexpr std::string_view kEndUpdate = "\x1b[?2026l";

// The cursor to a cell of the window, counted from 1 at the top left: "\x1b[<line>;<column>H",
// the column left out when it is the first.
void appendCursorTo(std::string& out, int line, int column);

// The cursor `count` (at least 1) columns to the right: "\x1b[<count>C".
void appendCursorForward(std::string& out, int count);

// The sequence that makes `colour` the foreground of the text that follows, where `pen` was:
// "\x1b[39m" for the terminal's own, "\x1b[3Nm" or "\x1b[9Nm" for a basic colour,
// "\x1b[38;5;Nm" for a palette index, "\x1b[38;2;R;G;Bm" for red, green and blue. Faint text
// starts with "2;" after a pen that was not faint, and ends with "22;" before the next colour
// that is not.
void appendForeground(std::string& out, CellColour colour, CellColour pen);

// The bytes of one frame on a terminal: the clear (when one is due) and the text, inside one
// synchronized update.
std::string terminalFrame(std::string_view encodedText, bool clearFirst);

}  // namespace brickstorm::terminal
