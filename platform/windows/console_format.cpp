#include "platform/windows/console_format.h"

#include <array>
#include <cstddef>

#include "terminal/output_encoding.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The game's bytes unchanged but for the line ends: on code page 437 they already have the
// shapes they are drawn for.
void appendCodePage437(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (c == '\n') {
            out.append(kLineEnd);
        } else {
            out.push_back(c);
        }
    }
}

void appendText(std::string& out, std::string_view text, ConsoleEncoding encoding) {
    switch (encoding) {
    case ConsoleEncoding::CodePage437: appendCodePage437(out, text); return;
    case ConsoleEncoding::Utf8: appendEncoded(out, text, {Charset::Utf8, LineEnd::CrLf}); return;
    case ConsoleEncoding::Ascii: appendEncoded(out, text, {Charset::Ascii, LineEnd::CrLf}); return;
    }
}

// The byte itself: on code page 437 it has its shape already.
std::string_view codePage437Cell(unsigned char character) {
    static const std::array<char, 256> bytes = [] {
        std::array<char, 256> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = static_cast<char>(i);
        }
        return table;
    }();
    return {&bytes[character], 1};
}

std::string_view utf8Cell(unsigned char character) { return encodeByte(character, Charset::Utf8); }
std::string_view asciiCell(unsigned char character) { return encodeByte(character, Charset::Ascii); }

}  // namespace

CellEncoder cellEncoder(ConsoleEncoding encoding) {
    switch (encoding) {
    case ConsoleEncoding::CodePage437: return codePage437Cell;
    case ConsoleEncoding::Ascii: return asciiCell;
    case ConsoleEncoding::Utf8: break;
    }
    return utf8Cell;
}

std::string pictureBytes(ConsoleFormat format, std::string_view text, bool clearFirst) {
    std::string encoded;
    // Every byte may grow to three in UTF-8 (each line end to two): one allocation per picture.
    encoded.reserve(text.size() * 3);
    appendText(encoded, text, format.encoding);
    if (!format.controlSequences) {
        return encoded;
    }
    return terminalFrame(encoded, clearFirst);
}

std::string_view takeScreenBytes(ConsoleFormat format) {
    return format.controlSequences ? kTakeScreen : std::string_view{};
}

std::string_view giveBackScreenBytes(ConsoleFormat format) {
    return format.controlSequences ? kGiveBackScreen : std::string_view{};
}

}  // namespace brickstorm::platform
