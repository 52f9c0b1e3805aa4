#include "world/level.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "world/level_table.h"

namespace brickstorm {
namespace {

// The built-in level as one literal, kept apart from the table so that a slip in either shows.
const std::string kBuiltIn =
    "015006015bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb00b00000000000000000000000e00000b0000000000000000000000bbEbb0000000000b000b00000000000000b00b0000000b000b0000000000bbbbb00b00000000000e00b00000000000000b00000000000000000000000000000000000000000000b00000000000000b00000p00000000b00000000000000000000000000000b0000000000000000000000bbbbb0000000000bbbbb0000000000bbbbb00b0000000bbbbb0000000000bbbbb00b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000b00000000000000b00000000000000b00000000000000000000000000000b00000000000000b00000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000000000000000000000000000000000b00000000000000b00000000000000000000000000000b00000000000000000000000000000b00000000000000000000000000000000000000000000b00000000000000b000000000000";

void expectInvalid(const Level& level) {
    EXPECT_EQ(level.sizeX(), -1);
    EXPECT_EQ(level.sizeY(), -1);
    EXPECT_EQ(level.sizeZ(), -1);
    EXPECT_EQ(level.playerStart, Vec3{});
    EXPECT_TRUE(level.enemyStarts().empty());
    EXPECT_EQ(level.cellCount(), 0U);
    EXPECT_EQ(level.cellAt(0, 0, 0), kCellEmpty);
}

TEST(LevelTableTest, HoldsTheBuiltInLevelThenNineEmptyEntries) {
    const LevelTable& table = levelTable();
    EXPECT_EQ(table[0], kBuiltIn);
    EXPECT_EQ(table[0].size(), 1359U);
    for (std::size_t i = 1; i < table.size(); ++i) {
        EXPECT_EQ(table[i], "") << "entry " << i;
        expectInvalid(Level(table[i]));
    }
}

TEST(LevelParseTest, BuiltInLevel) {
    const Level level(kBuiltIn);
    EXPECT_EQ(level.sizeX(), 15);
    EXPECT_EQ(level.sizeY(), 6);
    EXPECT_EQ(level.sizeZ(), 15);
    EXPECT_EQ(level.playerStart, (Vec3{8, 1, 0}));
    ASSERT_EQ(level.enemyStarts().size(), 2U);
    EXPECT_EQ(level.enemyStarts()[0], (Vec3{11, 1, 13}));
    EXPECT_EQ(level.enemyStarts()[1], (Vec3{14, 1, 6}));
    EXPECT_EQ(level.cellAt(12, 1, 11), kCellExit);
    EXPECT_EQ(level.cellAt(8, 1, 0), kCellEmpty);
    EXPECT_EQ(level.cellAt(0, 0, 0), kCellBlock);
    EXPECT_EQ(level.cellAt(10, 1, 9), kCellEmpty);  // the house's one opening
    EXPECT_EQ(level.cellAt(10, 1, 8), kCellBlock);
    EXPECT_EQ(level.cellAt(2, 5, 0), kCellBlock);

    std::map<char, int> counts;
    for (std::int32_t y = 0; y < 6; ++y) {
        for (std::int32_t z = 0; z < 15; ++z) {
            for (std::int32_t x = 0; x < 15; ++x) {
                ++counts[level.cellAt(x, y, z)];
            }
        }
    }
    // The start letters read as empty cells: 1042 + 2 + 1.
    EXPECT_EQ(counts, (std::map<char, int>{{kCellEmpty, 1045}, {kCellBlock, 304}, {kCellExit, 1}}));
}

TEST(LevelParseTest, CellOfEachStringPosition) {
    // x runs fastest, then z backwards from the far edge, then y upward.
    const Level level(
        "002002002"
        "abcd"
        "efgh");
    EXPECT_EQ(level.cellAt(0, 0, 1), 'a');
    EXPECT_EQ(level.cellAt(1, 0, 1), 'b');
    EXPECT_EQ(level.cellAt(0, 0, 0), 'c');
    EXPECT_EQ(level.cellAt(1, 0, 0), 'd');
    EXPECT_EQ(level.cellAt(0, 1, 1), kCellEmpty);  // 'e' is an enemy start
    EXPECT_EQ(level.enemyStarts(), (std::vector<Vec3>{{0, 1, 1}}));
    EXPECT_EQ(level.cellAt(1, 1, 1), 'f');
    EXPECT_EQ(level.cellAt(0, 1, 0), 'g');
    EXPECT_EQ(level.cellAt(1, 1, 0), 'h');
}

TEST(LevelParseTest, SmallValidLevels) {
    const Level empty("000000000");
    EXPECT_EQ(empty.sizeX(), 0);
    EXPECT_EQ(empty.sizeY(), 0);
    EXPECT_EQ(empty.sizeZ(), 0);
    EXPECT_EQ(empty.cellCount(), 0U);
    EXPECT_EQ(empty.cellAt(0, 0, 0), kCellEmpty);

    const Level single("001001001p");
    EXPECT_EQ(single.sizeX(), 1);
    EXPECT_EQ(single.playerStart, Vec3{});
    EXPECT_EQ(single.cellAt(0, 0, 0), kCellEmpty);

    const Level flat("003001000");  // a zero size makes the product zero
    EXPECT_EQ(flat.sizeX(), 3);
    EXPECT_EQ(flat.sizeZ(), 0);
}

TEST(LevelParseTest, LaterPlayerStartWinsAndBothReadEmpty) {
    const Level level("002001001pp");
    EXPECT_EQ(level.playerStart, (Vec3{1, 0, 0}));
    EXPECT_EQ(level.cellAt(0, 0, 0), kCellEmpty);
    EXPECT_EQ(level.cellAt(1, 0, 0), kCellEmpty);
}

TEST(LevelParseTest, UnknownLettersAreKept) {
    const Level level(std::string("003001001x") + '\0' + '\xff');
    EXPECT_EQ(level.cellAt(0, 0, 0), 'x');
    EXPECT_EQ(level.cellAt(1, 0, 0), '\0');
    EXPECT_EQ(level.cellAt(2, 0, 0), '\xff');
}

TEST(LevelParseTest, MalformedStringsGiveTheInvalidLevel) {
    std::string withBlank = kBuiltIn;
    withBlank[3] = ' ';
    const std::string cases[] = {
        "",
        "00100100",      // shorter than the header
        kBuiltIn + "0",  // one letter too many
        kBuiltIn.substr(0, kBuiltIn.size() - 1),
        withBlank,
        "+01001001b",  // no sign accepted
        "00a001001b",
        std::string("001001") + '\0' + "01b",
        "\xff\xfe\xfd\xfc\xfb\xfa\xf9\xf8\xf7",
        "999999999",  // huge product, no cells
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        expectInvalid(Level(text));
    }
}

// Whether any of a level's sizes can be changed from outside, by assigning the size or what
// reading it gives: either would let cellAt's bounds check pass cells the level does not hold.
template <typename L>
concept SizesAssignable = requires(L& level) {
    level.sizeX = 1;
}
|| requires(L& level) { level.sizeY = 1; }
|| requires(L& level) { level.sizeZ = 1; }
|| requires(L& level) { level.sizeX() = 1; }
|| requires(L& level) { level.sizeY() = 1; }
|| requires(L& level) { level.sizeZ() = 1; };
static_assert(!SizesAssignable<Level>, "a level's sizes must be read-only: cellAt trusts them");

TEST(LevelCellAtTest, OutsideTheGridIsEmptyInEveryDirection) {
    const Level level(
        "002002002"
        "bbbb"
        "bbbb");
    const std::int32_t outside[][3] = {
        {-1, 0, 0}, {0, -1, 0},        {0, 0, -1},        {2, 0, 0},         {0, 2, 0},
        {0, 0, 2},  {INT32_MIN, 0, 0}, {0, INT32_MAX, 0}, {0, 0, INT32_MAX},
    };
    for (const auto& cell : outside) {
        EXPECT_EQ(level.cellAt(cell[0], cell[1], cell[2]), kCellEmpty)
            << cell[0] << ", " << cell[1] << ", " << cell[2];
    }
    EXPECT_EQ(level.cellAt(1, 1, 1), kCellBlock);
}

TEST(LevelValueTest, CopiesOwnTheirCells) {
    Level original("001001001b");
    Level copy = original;
    copy.setCell(0, 0, 0, kCellEmpty);
    EXPECT_EQ(original.cellAt(0, 0, 0), kCellBlock);
    EXPECT_EQ(copy.cellAt(0, 0, 0), kCellEmpty);

    Level moved = std::move(copy);
    EXPECT_EQ(moved.cellAt(0, 0, 0), kCellEmpty);
}

TEST(LevelValueTest, CopiesShareTheirCellsUntilOneIsChanged) {
    const Level original("002001001bE");
    Level copy = original;
    EXPECT_TRUE(copy.sharesCellsWith(original));
    EXPECT_EQ(copy, original);

    copy.setCell(1, 0, 0, kCellBlock);
    EXPECT_FALSE(copy.sharesCellsWith(original));
    EXPECT_NE(copy, original);
    EXPECT_EQ(original.cellAt(1, 0, 0), kCellExit);

    copy.setCell(2, 0, 0, kCellExit);  // outside the grid: nothing changes
    EXPECT_EQ(copy.cellAt(2, 0, 0), kCellEmpty);
}

TEST(LevelValueTest, EqualMeansTheSameLevelWhetherOrNotTheCellsAreShared) {
    const Level parsed("002001001bE");
    const Level again("002001001bE");
    EXPECT_FALSE(parsed.sharesCellsWith(again));
    EXPECT_EQ(parsed, again);

    const LevelCells cells{{"bE"}};
    EXPECT_EQ(Level(2, 1, 1, cells, {}, {}), parsed);
    EXPECT_NE(Level(2, 1, 1, cells, {1, 0, 0}, {}), parsed);
    EXPECT_NE(Level("002001001Eb"), parsed);
    EXPECT_NE(Level("000000000"), Level());
    EXPECT_FALSE(Level().sharesCellsWith(Level()));
}

TEST(LevelValueTest, BuiltFromRaggedCellsReadsTheMissingOnesAsEmpty) {
    const Level level(3, 2, 1, LevelCells{{"bb"}}, {}, {});
    EXPECT_EQ(level.cellCount(), 6U);
    EXPECT_EQ(level.cellAt(1, 0, 0), kCellBlock);
    EXPECT_EQ(level.cellAt(2, 0, 0), kCellEmpty);
    EXPECT_EQ(level.cellAt(0, 1, 0), kCellEmpty);
}

}  // namespace
}  // namespace brickstorm
