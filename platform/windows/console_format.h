#pragma once

#include <string_view>

#include "terminal/picture_update.h"

// The bytes that the Windows console is sent, for what it is found able to show. Pure: the
// session decides the format once, when it takes the console, and everything written after
// follows it.
namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

// How the game's bytes beyond ASCII (the shades, the full block and the enemy's symbols) reach
// the console.
enum class ConsoleEncoding {
    Utf8,         // mapped to the same shapes in Unicode; the console's output code page is UTF-8
    CodePage437,  // sent as they are; the console's output code page is 437, where they have
                  // those shapes already
    Ascii,        // plain ASCII stand-ins, for a console that accepts neither code page
};

struct ConsoleFormat {
    // The console interprets the terminal control sequences (virtual-terminal processing, or a
    // pipe to a terminal emulator). Without them the console is cleared through its API.
    bool controlSequences = true;
    ConsoleEncoding encoding = ConsoleEncoding::Utf8;
};

// The code page in which the game's bytes have their intended shapes.
inline constexpr unsigned kGameCodePage = 437;

// How one cell's character is sent. A control byte, which the console would act on instead of
// showing, is sent as the mark of a byte without a shape in every encoding.
CellEncoder cellEncoder(ConsoleEncoding encoding);

// Between two lines of a picture that the console is sent as plain text: "\r\n", so that every
// line starts at the left edge whatever the console does with a bare line feed.
inline constexpr std::string_view kConsoleLineEnd = "\r\n";

// Taking the display (alternate screen, cursor hidden, line wrap off) and giving it back, as
// control sequences; nothing for a console without them, whose cursor is hidden through its API.
std::string_view takeScreenBytes(ConsoleFormat format);
std::string_view giveBackScreenBytes(ConsoleFormat format);

}  // namespace brickstorm::platform
