#include "platform/windows/console_format.h"

#include <array>
#include <cstddef>

#include "terminal/output_encoding.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

namespace {

// The byte itself: on code page 437 it has its shape already.
std::string_view codePage437Cell(unsigned char character) {
    static const std::array<char, 256> bytes = [] {
        std::array<char, 256> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = static_cast<char>(i);
        }
        return table;
    }();
    return isControlByte(character) ? encodeAsciiCell(character) : std::string_view{&bytes[character], 1};
}

}  // namespace

CellEncoder cellEncoder(ConsoleEncoding encoding) {
    switch (encoding) {
    case ConsoleEncoding::CodePage437: return codePage437Cell;
    case ConsoleEncoding::Ascii: return encodeAsciiCell;
    case ConsoleEncoding::Utf8: break;
    }
    return encodeUtf8Cell;
}

std::string_view takeScreenBytes(ConsoleFormat format) {
    return format.controlSequences ? kTakeScreen : std::string_view{};
}

std::string_view giveBackScreenBytes(ConsoleFormat format) {
    return format.controlSequences ? kGiveBackScreen : std::string_view{};
}

}  // namespace brickstorm::platform
