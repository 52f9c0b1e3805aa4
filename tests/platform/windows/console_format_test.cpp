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

std::string framed(const std::string& inside) {
    return std::string(kBeginUpdate) + inside + std::string(kEndUpdate);
}

// Every byte but the line feed, in order.
std::string everyByteButLineFeed() {
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\n') {
            bytes.push_back(static_cast<char>(b));
        }
    }
    return bytes;
}

TEST(ConsoleFormat, Utf8ConsoleGetsTheSameShapesInUnicode) {
    EXPECT_EQ(pictureBytes(kVirtualTerminalUtf8, kGameShapes, false),
              framed(" \u2591\u2592\u2593\u2588\u2320\u00F7\u00B0 "));
}

TEST(ConsoleFormat, CodePage437ConsoleGetsTheGameBytesAsTheyAre) {
    const std::string bytes = everyByteButLineFeed();
    EXPECT_EQ(pictureBytes(kVirtualTerminal437, bytes, false), framed(bytes));
    EXPECT_EQ(pictureBytes(kLegacy437, bytes, false), bytes);
}

TEST(ConsoleFormat, AsciiConsoleGetsNoByteBeyondAscii) {
    const std::string shown = pictureBytes(kLegacyAscii, everyByteButLineFeed(), false);
    EXPECT_TRUE(
        std::none_of(shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) >= 128; }));
}

TEST(ConsoleFormat, EveryLineStartsAtTheLeftEdgeInEveryEncoding) {
    for (const ConsoleFormat format : {kVirtualTerminalUtf8, kVirtualTerminal437, kLegacy437, kLegacyAscii}) {
        const std::string shown = pictureBytes(format, "ab#\ncd#\nef#", false);
        EXPECT_NE(shown.find("ab#\r\ncd#\r\nef#"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("\r\r"), std::string::npos);
    }
}

TEST(ConsoleFormat, TheClearTravelsWithThePictureInsideOneUpdate) {
    EXPECT_EQ(pictureBytes(kVirtualTerminalUtf8, "x#", true), framed(std::string(kClearScreen) + "x#"));
    EXPECT_EQ(pictureBytes(kVirtualTerminalUtf8, "x#", false), framed("x#"));
}

TEST(ConsoleFormat, AConsoleWithoutControlSequencesGetsNone) {
    for (const ConsoleFormat format : {kLegacy437, kLegacyAscii}) {
        for (const bool clearFirst : {false, true}) {
            const std::string shown = pictureBytes(format, kGameShapes + "\n#", clearFirst);
            EXPECT_EQ(shown.find('\x1b'), std::string::npos);
        }
        EXPECT_TRUE(takeScreenBytes(format).empty());
        EXPECT_TRUE(giveBackScreenBytes(format).empty());
    }
}

TEST(ConsoleFormat, AConsoleWithControlSequencesIsTakenAndGivenBackByThem) {
    EXPECT_EQ(takeScreenBytes(kVirtualTerminalUtf8), kTakeScreen);
    EXPECT_EQ(giveBackScreenBytes(kVirtualTerminalUtf8), kGiveBackScreen);
    EXPECT_EQ(takeScreenBytes(kVirtualTerminal437), kTakeScreen);
}

TEST(ConsoleFormat, AWholeScreenIsOnePictureOfSixtyLines) {
    std::string screen;
    for (int line = 0; line < 60; ++line) {
        screen += std::string(90, '\xB1') + "#" + (line < 59 ? "\n" : "");
    }
    const std::string shown = pictureBytes(kVirtualTerminalUtf8, screen, true);
    EXPECT_EQ(shown.rfind(std::string(kBeginUpdate) + std::string(kClearScreen), 0), 0U);
    EXPECT_EQ(shown.substr(shown.size() - kEndUpdate.size() - 1), "#" + std::string(kEndUpdate));
    std::size_t lineEnds = 0;
    for (auto at = shown.find("\r\n"); at != std::string::npos; at = shown.find("\r\n", at + 1)) {
        ++lineEnds;
    }
    EXPECT_EQ(lineEnds, 59U);
}

}  // namespace
}  // namespace brickstorm::platform
