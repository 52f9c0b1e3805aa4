#include "render/picture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "render/colour.h"

namespace brickstorm {
namespace {

struct Placement {
    const char* name;
    std::string_view into;
    std::string_view part;
    int column;
    int line;
    std::string_view expected;
};

void PrintTo(const Placement& placement, std::ostream* out) { *out << placement.name; }

// A 4 x 3 picture of dots, and a 2 x 2 part whose every cell says where it came from, so that
// a part cut at the wrong side, or shifted by the cut, shows.
constexpr std::string_view kDots = "....\n....\n....";
constexpr std::string_view kSmall = "ab\ncd";

constexpr Placement kPlacements[] = {
    {"inside", kDots, kSmall, 1, 1, "....\n.ab.\n.cd."},
    {"at the top left", kDots, kSmall, 0, 0, "ab..\ncd..\n...."},
    {"cut by the right edge", kDots, kSmall, 3, 0, "...a\n...c\n...."},
    {"cut by the bottom edge", kDots, kSmall, 2, 2, "....\n....\n..ab"},
    {"cut by the left edge", kDots, kSmall, -1, 1, "....\nb...\nd..."},
    {"cut by the top edge", kDots, kSmall, 1, -1, ".cd.\n....\n...."},
    {"cut by the top and left edges", kDots, kSmall, -1, -1, "d...\n....\n...."},
    {"cut by the bottom and right edges", kDots, kSmall, 3, 2, "....\n....\n...a"},
    {"just past the right edge", kDots, kSmall, 4, 0, kDots},
    {"just past the bottom edge", kDots, kSmall, 0, 3, kDots},
    {"just past the left edge", kDots, kSmall, -2, 0, kDots},
    {"just past the top edge", kDots, kSmall, 0, -2, kDots},
    {"as far left and up as can be", kDots, kSmall, INT_MIN, INT_MIN, kDots},
    {"as far right and down as can be", kDots, kSmall, INT_MAX, INT_MAX, kDots},
    {"a part larger than the picture on every side", kDots, "ABCDEF\nGHIJKL\nMNOPQR\nSTUVWX\nYZ0123", -1, -1,
     "HIJK\nNOPQ\nTUVW"},
    {"a part of lines of different lengths", kDots, "a\nbcdef\n\ng", 1, 0, ".a..\n.bcd\n...."},
    {"into lines of different lengths", "..\n.....\n", kSmall, 1, 0, ".a\n.cd..\n"},
    {"into an empty picture", "", kSmall, 0, 0, ""},
};

class PlacePictureTest : public ::testing::TestWithParam<Placement> {};

TEST_P(PlacePictureTest, CopiesWhatFallsInsideAndLeavesTheRestAsItWas) {
    const Placement& placement = GetParam();
    Picture into = pictureFromText(placement.into);
    placePicture(into, pictureFromText(placement.part), placement.column, placement.line);
    EXPECT_EQ(pictureText(into), placement.expected);
}

INSTANTIATE_TEST_SUITE_P(Placements, PlacePictureTest, ::testing::ValuesIn(kPlacements),
                         [](const ::testing::TestParamInfo<Placement>& info) {
                             std::string name;
                             for (const char c : std::string_view(info.param.name)) {
                                 if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
                                     name += c;
                                 }
                             }
                             return name;
                         });

TEST(PlacePicture, KeepsThePartsColours) {
    Picture part = pictureFromText("xy");
    part.lines[0][1].colour = paletteColour(196);
    Picture into = blankPicture(3, 1);
    placePicture(into, part, -1, 0);
    EXPECT_EQ(into.lines[0][0], (Cell{'y', paletteColour(196)}));
}

struct TextPlacement {
    const char* name;
    std::string_view text;
    int column;
    int line;
    std::string_view expected;
};

constexpr TextPlacement kTextPlacements[] = {
    {"inside", "xy", 1, 1, "....\n.xy.\n...."},
    {"cut by the right edge", "xyz", 2, 0, "..xy\n....\n...."},
    {"cut by the left edge", "xyz", -2, 2, "....\n....\nz..."},
    {"longer than the line on both sides", "123456", -1, 0, "2345\n....\n...."},
    {"past the right edge", "xy", 4, 0, kDots},
    {"past the left edge", "xy", -2, 0, kDots},
    {"above the picture", "xy", 0, -1, kDots},
    {"below the picture", "xy", 0, 3, kDots},
    {"as far away as can be", "xy", INT_MIN, INT_MAX, kDots},
    {"no text", "", 1, 1, kDots},
};

TEST(PlaceText, WritesWhatFallsInsideTheLineAndNothingElse) {
    for (const TextPlacement& placement : kTextPlacements) {
        Picture into = pictureFromText(kDots);
        placeText(into, placement.text, placement.column, placement.line);
        EXPECT_EQ(pictureText(into), placement.expected) << placement.name;
    }
}

TEST(PlaceText, ColoursTheCharactersButNotTheBlanksBetweenThem) {
    Picture into = blankPicture(5, 1);
    into.lines[0][2].colour = basicColour(4);  // a coloured cell that a blank of the text covers
    placeText(into, "a b", 1, 0, basicColour(9));
    const CellLine expected{Cell{' ', kNoColour}, Cell{'a', basicColour(9)}, Cell{' ', kNoColour},
                            Cell{'b', basicColour(9)}, Cell{' ', kNoColour}};
    EXPECT_EQ(into.lines[0], expected);
}

struct BlankSize {
    int columns;
    int lines;
    std::size_t expectedColumns;
    std::size_t expectedLines;
};

constexpr BlankSize kBlankSizes[] = {
    {3, 2, 3, 2},
    {0, 0, 0, 0},
    {3, 0, 0, 0},
    {0, 2, 0, 2},
    {-1, 2, 0, 2},
    {2, -5, 0, 0},
    {INT_MIN, INT_MIN, 0, 0},
};

TEST(BlankPicture, HasTheLinesAndColumnsAskedForAndNoneBelowZero) {
    for (const BlankSize& size : kBlankSizes) {
        const Picture picture = blankPicture(size.columns, size.lines);
        Picture expected;
        expected.lines.assign(size.expectedLines, CellLine(size.expectedColumns, Cell{' ', kNoColour}));
        EXPECT_EQ(picture, expected) << size.columns << " x " << size.lines;
    }
}

TEST(PictureText, IsTheTextThePictureWasMadeFrom) {
    constexpr std::string_view kTexts[] = {
        "", "a", "ab\ncd", "\n", "\n\n", "a\n", "\na", "a\n\nbcd\ne", "\xB0\xB1\xB2\xDB\n\xF8\xF6 #",
    };
    for (const std::string_view text : kTexts) {
        EXPECT_EQ(pictureText(pictureFromText(text)), text) << '"' << text << '"';
    }
}

TEST(PictureFromText, MakesOneUncolouredCellPerByteAndOneLinePerPart) {
    const Picture picture = pictureFromText("ab\n\n\xF8");
    Picture expected;
    expected.lines = {{Cell{'a', kNoColour}, Cell{'b', kNoColour}}, {}, {Cell{0xF8, kNoColour}}};
    EXPECT_EQ(picture, expected);
}

}  // namespace
}  // namespace brickstorm
