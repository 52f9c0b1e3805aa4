#pragma once

#include <string>
#include <string_view>

// How the game's single-byte text reaches a display. Pure: the caller decides, once, which
// character set and which line ends the display wants.
namespace brickstorm::terminal {

// What the display can show beyond ASCII.
enum class Charset {
    Utf8,   // the shade, block and symbol bytes as the same shapes in Unicode
    Ascii,  // plain ASCII stand-ins of similar density
};

enum class LineEnd {
    Lf,    // files and pipes: '\n' as it is
    CrLf,  // a terminal: "\r\n", so each line starts at the left edge whether or not the
           // terminal's own output processing turns '\n' into "\r\n"
};

struct OutputStyle {
    Charset charset = Charset::Utf8;
    LineEnd lineEnd = LineEnd::Lf;
};

// The display form of one byte of game text (not '\n', whose form depends on LineEnd).
std::string_view encodeByte(unsigned char byte, Charset charset);

// The display form of one cell's character: as encodeByte, but a control byte (below 32, and
// 127), which would move the cursor or begin a control sequence instead of filling its cell,
// shows as the mark of a byte without a shape.
std::string_view encodeCell(unsigned char character, Charset charset);

// Whether a byte is a control byte rather than a character.
bool isControlByte(unsigned char byte);

// encodeCell in one character set, as a function that a console can hold.
std::string_view encodeUtf8Cell(unsigned char character);
std::string_view encodeAsciiCell(unsigned char character);

// Appends `text` to `out` in the display's form.
void appendEncoded(std::string& out, std::string_view text, OutputStyle style);

// The character set that a locale's codeset name (as the C library reports it, e.g. "UTF-8",
// "ANSI_X3.4-1968") stands for.
Charset charsetForCodeset(std::string_view codeset);

// The same judged from a locale name alone, e.g. "en_GB.UTF-8" or "C.utf8": for when the named
// locale is not installed, which says nothing about what the display itself can show.
Charset charsetForLocaleName(std::string_view name);

}  // namespace brickstorm::terminal
