#include "terminal/output_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "terminal/terminal_sequences.h"

namespace brickstorm::terminal {
namespace {

struct ByteCase {
    unsigned char byte;
    std::string utf8;
    std::string ascii;
};

TEST(OutputEncoding, MapsEachByteForBothCharsets) {
    const ByteCase cases[] = {
        {176, "\xE2\x96\x91", ":"},  // light shade
        {177, "\xE2\x96\x92", "+"},  // medium shade
        {178, "\xE2\x96\x93", "%"},  // dark shade
        {219, "\xE2\x96\x88", "@"},  // full block
        {244, "\xE2\x8C\xA0", "f"},  // top half integral
        {246, "\xC3\xB7", "/"},      // division sign
        {248, "\xC2\xB0", "o"},      // degree sign
        {128, "?", "?"},
        {175, "?", "?"},
        {255, "?", "?"},
        {'a', "a", "a"},
        {' ', " ", " "},
        {'#', "#", "#"},
        {'~', "~", "~"},
        {0, std::string(1, '\0'), std::string(1, '\0')},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(encodeByte(entry.byte, Charset::Utf8), entry.utf8) << int{entry.byte};
        EXPECT_EQ(encodeByte(entry.byte, Charset::Ascii), entry.ascii) << int{entry.byte};
    }
}

TEST(OutputEncoding, AsciiStandInsAreDistinctPrintableAndNotTheEdge) {
    // Seven different shapes on screen must stay seven, and never look like the screen's edge.
    std::string seen;
    for (const unsigned char byte : {176, 177, 178, 219, 244, 246, 248}) {
        const auto standIn = encodeByte(byte, Charset::Ascii);
        ASSERT_EQ(standIn.size(), 1U);
        EXPECT_GT(standIn[0], ' ');
        EXPECT_LT(standIn[0], '\x7f');
        EXPECT_NE(standIn[0], '#');
        EXPECT_EQ(seen.find(standIn[0]), std::string::npos) << standIn;
        seen += standIn;
    }
}

TEST(OutputEncoding, LineEndsFollowTheStyle) {
    std::string terminal;
    appendEncoded(terminal, "ab#\ncd#", {Charset::Utf8, LineEnd::CrLf});
    EXPECT_EQ(terminal, "ab#\r\ncd#");
    std::string plain;
    appendEncoded(plain, "ab#\ncd#", {Charset::Utf8, LineEnd::Lf});
    EXPECT_EQ(plain, "ab#\ncd#");
}

TEST(OutputEncoding, AFullScreenHasTheExpectedSize) {
    // 60 lines of 90 cells and the edge, 40 of each special byte spread over the screen.
    constexpr int kColumns = 90;
    constexpr int kRows = 60;
    const unsigned char specials[] = {176, 177, 178, 219, 244, 246, 248};
    constexpr int kEach = 40;
    std::string screen;
    int placed = 0;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const bool special = (row * kColumns + column) % 19 == 0 && placed < kEach * 7;
            screen.push_back(special ? static_cast<char>(specials[placed++ % 7]) : ' ');
        }
        screen.push_back('#');
        if (row + 1 < kRows) {
            screen.push_back('\n');
        }
    }
    ASSERT_EQ(placed, kEach * 7);
    const std::size_t plainSize = kRows * (kColumns + 1) + (kRows - 1);
    ASSERT_EQ(screen.size(), plainSize);

    // Three-byte shades and block and integral, two-byte division and degree signs, and one
    // carriage return more per line break.
    std::string utf8;
    appendEncoded(utf8, screen, {Charset::Utf8, LineEnd::CrLf});
    EXPECT_EQ(utf8.size(), plainSize + static_cast<std::size_t>(kEach * (5 * 2 + 2 * 1)) + (kRows - 1));

    std::string ascii;
    appendEncoded(ascii, screen, {Charset::Ascii, LineEnd::Lf});
    EXPECT_EQ(ascii.size(), plainSize);

    const std::string frame = terminalFrame(utf8, true);
    EXPECT_EQ(frame.size(), kBeginUpdate.size() + kClearScreen.size() + utf8.size() + kEndUpdate.size());
    EXPECT_EQ(frame.substr(0, kBeginUpdate.size() + kClearScreen.size()),
              std::string(kBeginUpdate) + std::string(kClearScreen));
    EXPECT_TRUE(frame.ends_with(std::string(utf8) + std::string(kEndUpdate)));
}

TEST(OutputEncoding, ReadsTheCharsetFromTheLocale) {
    EXPECT_EQ(charsetForCodeset("UTF-8"), Charset::Utf8);
    EXPECT_EQ(charsetForCodeset("utf8"), Charset::Utf8);
    EXPECT_EQ(charsetForCodeset("ANSI_X3.4-1968"), Charset::Ascii);
    EXPECT_EQ(charsetForCodeset("ISO-8859-1"), Charset::Ascii);
    EXPECT_EQ(charsetForCodeset(""), Charset::Ascii);
    EXPECT_EQ(charsetForLocaleName("en_GB.UTF-8"), Charset::Utf8);
    EXPECT_EQ(charsetForLocaleName("C.utf8"), Charset::Utf8);
    EXPECT_EQ(charsetForLocaleName("de_DE.UTF-8@euro"), Charset::Utf8);
    EXPECT_EQ(charsetForLocaleName("de_DE.ISO-8859-15@euro"), Charset::Ascii);
    EXPECT_EQ(charsetForLocaleName("POSIX"), Charset::Ascii);
    EXPECT_EQ(charsetForLocaleName("C"), Charset::Ascii);
}

}  // namespace
}  // namespace brickstorm::terminal
