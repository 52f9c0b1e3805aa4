#include "render/frame_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "render/face.h"
#include "support/recording_console.h"

namespace brickstorm {
namespace {

ScreenQuad quadOf(std::array<ScreenPoint, 4> points, unsigned char fill = kFillFullBlock) {
    return ScreenQuad{points, fill};
}

// The text of a frame with nothing drawn, built line by line.
std::string blankFrameText() {
    std::string text;
    for (int r = 0; r < kFrameRows; ++r) {
        text += std::string(kFrameColumns, ' ') + "#";
        if (r + 1 < kFrameRows) {
            text += "\n";
        }
    }
    return text;
}

// Checks every cell of the frame: `fill` where `covers` holds, empty elsewhere.
void expectCells(const FrameBuffer& frame, const std::function<bool(int, int)>& covers, unsigned char fill) {
    int expectedCount = 0;
    for (int r = 0; r < kFrameRows; ++r) {
        for (int c = 0; c < kFrameColumns; ++c) {
            const bool inside = covers(c, r);
            expectedCount += inside ? 1 : 0;
            ASSERT_EQ(frame.rows[r][c], inside ? fill : 0) << "column " << c << ", row " << r;
        }
    }
    EXPECT_EQ(frame.filledCount, expectedCount);
}

std::function<bool(int, int)> rectangle(int firstColumn, int lastColumn, int firstRow, int lastRow) {
    return [=](int c, int r) { return c >= firstColumn && c <= lastColumn && r >= firstRow && r <= lastRow; };
}

const std::function<bool(int, int)> kNothing = [](int, int) { return false; };

struct FillCase {
    const char* name;
    std::array<ScreenPoint, 4> points;
    std::function<bool(int, int)> covers;
};

void PrintTo(const FillCase& c, std::ostream* os) { *os << c.name; }

class FrameBufferFillTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FrameBufferFillTest, FillsExactlyTheCoveredCells) {
    FrameBuffer frame;
    frame.fillQuad(quadOf(GetParam().points));
    expectCells(frame, GetParam().covers, kFillFullBlock);
}

INSTANTIATE_TEST_SUITE_P(
    FrameBufferQuads, FrameBufferFillTest,
    ::testing::Values(
        // Cell points carry no half-cell offset: the right and bottom edges are in, the left and top out.
        FillCase{"Square", {{{10, 5}, {20, 5}, {20, 15}, {10, 15}}}, rectangle(11, 20, 6, 15)},
        FillCase{"WholeFrame", {{{-5, -5}, {95, -5}, {95, 65}, {-5, 65}}}, rectangle(0, 89, 0, 59)},
        FillCase{
            "ClippedRightAndBottom", {{{80, 50}, {120, 50}, {120, 80}, {80, 80}}}, rectangle(81, 89, 51, 59)},
        FillCase{"WhollyLeft", {{{-30, 5}, {-1, 5}, {-1, 15}, {-30, 15}}}, kNothing},
        FillCase{"WhollyAbove", {{{10, -30}, {20, -30}, {20, -1}, {10, -1}}}, kNothing},
        FillCase{"FlatOnOneRow", {{{10, 10}, {20, 10}, {40, 10}, {30, 10}}}, kNothing},
        // A triangle (two corners the same): its slanted lower-left edge is a left edge, left out.
        FillCase{"Triangle",
                 {{{10, 10}, {20, 10}, {20, 20}, {20, 20}}},
                 [](int c, int r) { return r >= 11 && r <= 19 && c > r && c <= 20; }},
        // Far beyond the int range: the bounding box saturates instead of wrapping around.
        FillCase{"BeyondIntRange",
                 {{{-1e12, -1e12}, {1e12, -1e12}, {1e12, 1e12}, {-1e12, 1e12}}},
                 rectangle(0, 89, 0, 59)}),
    [](const ::testing::TestParamInfo<FillCase>& info) { return std::string(info.param.name); });

TEST(FrameBufferTest, FirstQuadKeepsItsCells) {
    FrameBuffer frame;
    frame.fillQuad(quadOf({{{10, 5}, {20, 5}, {20, 15}, {10, 15}}}, kFillFullBlock));
    frame.fillQuad(quadOf({{{15, 10}, {25, 10}, {25, 20}, {15, 20}}}, kFillMediumShade));
    for (int r = 0; r < kFrameRows; ++r) {
        for (int c = 0; c < kFrameColumns; ++c) {
            unsigned char expected = 0;
            if (rectangle(11, 20, 6, 15)(c, r)) {
                expected = kFillFullBlock;
            } else if (rectangle(16, 25, 11, 20)(c, r)) {
                expected = kFillMediumShade;
            }
            ASSERT_EQ(frame.rows[r][c], expected) << "column " << c << ", row " << r;
        }
    }
    EXPECT_EQ(frame.filledCount, 100 + 75);
}

TEST(FrameBufferTest, FullFrameSkipsEveryFurtherQuad) {
    FrameBuffer frame;
    frame.fillQuad(quadOf({{{-5, -5}, {95, -5}, {95, 65}, {-5, 65}}}, kFillFullBlock));
    frame.fillQuad(quadOf({{{10, 5}, {20, 5}, {20, 15}, {10, 15}}}, kFillMediumShade));
    expectCells(frame, rectangle(0, 89, 0, 59), kFillFullBlock);

    // The count alone decides: a frame counted full is not looked at again.
    FrameBuffer countedFull;
    countedFull.filledCount = kFrameCells;
    countedFull.fillQuad(quadOf({{{10, 5}, {20, 5}, {20, 15}, {10, 15}}}));
    EXPECT_EQ(countedFull.rows[10][15], 0);
    EXPECT_EQ(countedFull.filledCount, kFrameCells);
}

// The even-odd rule applied cell by cell, exactly as stated: the oracle for the row runs that
// fillQuad uses.
bool coveredByRule(const ScreenQuad& quad, int c, int r) {
    bool inside = false;
    for (int i = 0; i < 4; ++i) {
        const ScreenPoint& a = quad.points[i];
        const ScreenPoint& b = quad.points[i == 0 ? 3 : i - 1];
        if ((a.row >= r) != (b.row >= r)) {
            const double x = (b.column - a.column) * (r - a.row) / (b.row - a.row) + a.column;
            if (x >= c) {
                inside = !inside;
            }
        }
    }
    return inside;
}

TEST(FrameBufferTest, FillsWhatTheRuleCoversForAnyShape) {
    // Convex, concave, crossed and flat quads, many reaching out of the frame, some far out,
    // drawn in turn into one frame so that earlier quads keep their cells.
    std::mt19937 random(11);
    auto coordinate = [&random](int low, int high) {
        const int value = low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
        return random() % 50 == 0 ? value * 1e7 : static_cast<double>(value);
    };
    for (int frameNumber = 0; frameNumber < 40; ++frameNumber) {
        FrameBuffer frame;
        std::vector<std::vector<unsigned char>> expected(kFrameRows,
                                                         std::vector<unsigned char>(kFrameColumns, 0));
        for (int n = 0; n < 12; ++n) {
            ScreenQuad quad;
            for (ScreenPoint& p : quad.points) {
                p = {coordinate(-30, 120), coordinate(-20, 80)};
            }
            quad.fill = static_cast<unsigned char>(kFillLightShade + n);
            frame.fillQuad(quad);
            for (int r = 0; r < kFrameRows; ++r) {
                for (int c = 0; c < kFrameColumns; ++c) {
                    if (expected[r][c] == 0 && coveredByRule(quad, c, r)) {
                        expected[r][c] = quad.fill;
                    }
                }
            }
            ASSERT_EQ(frame.rows, expected) << "frame " << frameNumber << ", quad " << n;
        }
        int filled = 0;
        for (const auto& row : expected) {
            filled += static_cast<int>(kFrameColumns - std::count(row.begin(), row.end(), 0));
        }
        EXPECT_EQ(frame.filledCount, filled);
    }
}

TEST(FrameBufferTest, FrameTextShowsCellsBlanksAndEdges) {
    FrameBuffer frame;
    EXPECT_EQ(frameText(frame), blankFrameText());
    EXPECT_EQ(frameText(frame).size(), 5519U);

    frame.rows[0][0] = kFillFullBlock;
    frame.rows[59][89] = kFillDegreeSign;
    frame.rows[1][5] = kFillLightShade;
    std::string expected = blankFrameText();
    const std::size_t lineLength = kFrameColumns + 2;  // cells, edge, line feed
    expected[0] = static_cast<char>(kFillFullBlock);
    expected[59 * lineLength + 89] = static_cast<char>(kFillDegreeSign);
    expected[1 * lineLength + 5] = static_cast<char>(kFillLightShade);
    EXPECT_EQ(frameText(frame), expected);
}

TEST(FrameBufferTest, DrawQuadsShowsOnePictureAndEmptiesTheFrame) {
    const std::vector<ScreenQuad> quads{quadOf({{{10, 5}, {20, 5}, {20, 15}, {10, 15}}})};
    FrameBuffer drawn;
    drawn.fillQuad(quads[0]);
    const std::string expected = frameText(drawn);

    FrameBuffer frame;
    testing::RecordingConsole console;
    frame.drawQuads(quads, console);
    EXPECT_EQ(console.pages.size(), 1U);
    EXPECT_EQ(console.lastPage(), expected);
    EXPECT_EQ(frame.filledCount, 0);
    EXPECT_EQ(frameText(frame), blankFrameText());

    frame.drawQuads({}, console);
    EXPECT_EQ(console.pages.size(), 2U);
    EXPECT_EQ(console.lastPage(), blankFrameText());
}

}  // namespace
}  // namespace brickstorm
