#include "platform/windows/console_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

constexpr ConsoleFormat kVirtualTerminalUtf8{true, ConsoleEncoding::Utf8};
constexpr ConsoleFormat kVirtualTerminal437{true, ConsoleEncoding::CodePage437};
constexpr ConsoleFormat kLegacy437{false, ConsoleEncoding::CodePage437};
constexpr ConsoleFormat kLegacyAscii{false, ConsoleEncoding::Ascii};

// The bytes of the shades, the full block and the enemy's symbols, between two blanks.
const std::string kGameShapes = " \xB0\xB1\xB2\xDB\xF4\xF6\xF8 ";

// Each byte of `text` as `encoding` sends it, as a cell of a picture.
std::string encoded(ConsoleEncoding encoding, const std::string& text) {
    const CellEncoder encode = cellEncoder(encoding);
    std::string shown;
    for (const char c : text) {
        shown.append(encode(static_cast<unsigned char>(c)));
    }
    return shown;
}

// Every byte that shows a character, in order: all but the control bytes.
std::string everyCharacterByte() {
    std::string bytes;
    for (int b = ' '; b < 256; ++b) {
        if (b != 127) {
            bytes.push_back(static_cast<char>(b));
        }
    }
    return bytes;
}

TEST(ConsoleFormat, Utf8ConsoleGetsTheSameShapesInUnicode) {
    EXPECT_EQ(encoded(ConsoleEncoding::Utf8, kGameShapes), " \u2591\u2592\u2593\u2588\u2320\u00F7\u00B0 ");
}

TEST(ConsoleFormat, CodePage437ConsoleGetsTheGameBytesAsTheyAre) {
    const std::string bytes = everyCharacterByte();
    EXPECT_EQ(encoded(ConsoleEncoding::CodePage437, bytes), bytes);
}

TEST(ConsoleFormat, AsciiConsoleGetsNoByteBeyondAscii) {
    const std::string shown = encoded(ConsoleEncoding::Ascii, everyCharacterByte());
    EXPECT_TRUE(
        std::none_of(shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) >= 128; }));
}

// A control byte in a cell would be acted on (a line feed, a backspace, the start of a control
// sequence) instead of filling the cell: every encoding shows it as a mark.
TEST(ConsoleFormat, NoEncodingSendsAControlByte) {
    for (const ConsoleEncoding encoding :
         {ConsoleEncoding::Utf8, ConsoleEncoding::CodePage437, ConsoleEncoding::Ascii}) {
        for (int b = 0; b < 256; ++b) {
            if (b < ' ' || b == 127) {
                EXPECT_EQ(cellEncoder(encoding)(static_cast<unsigned char>(b)), "?") << b;
            }
        }
    }
}

TEST(ConsoleFormat, AConsoleWithoutControlSequencesGetsNone) {
    for (const ConsoleFormat format : {kLegacy437, kLegacyAscii}) {
        EXPECT_TRUE(takeScreenBytes(format).empty());
        EXPECT_TRUE(giveBackScreenBytes(format).empty());
    }
}

TEST(ConsoleFormat, AConsoleWithControlSequencesIsTakenAndGivenBackByThem) {
    EXPECT_EQ(takeScreenBytes(kVirtualTerminalUtf8), kTakeScreen);
    EXPECT_EQ(giveBackScreenBytes(kVirtualTerminalUtf8), kGiveBackScreen);
    EXPECT_EQ(takeScreenBytes(kVirtualTerminal437), kTakeScreen);
}

}  // namespace
}  // namespace brickstorm::platform
