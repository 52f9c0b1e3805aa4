// The edited level: a new level is playable as it stands, level strings come and go unchanged,
// the counts follow every change, and slabs added or removed on any side keep every other cell
// where it was.
#include "editor/edited_level.h"

#include <gtest/gtest.h>

#include <string>

#include "editor/level_writing.h"
#include "world/level_file.h"

namespace brickstorm::editor {
namespace {

// A level of 3 x 2 x 2 with every cell a different letter where it can: the far row first.
constexpr std::string_view kSmall = "003002002bbEbb0p0eE0b";

TEST(EditedLevelTest, ANewLevelCanBePlayedAsItStands) {
    const EditedLevel level = EditedLevel::newLevel(kNewLevelSizes);
    EXPECT_EQ(level.sizes(), (LevelSizes{16, 8, 16}));
    for (std::int32_t x = 0; x < 16; ++x) {
        for (std::int32_t z = 0; z < 16; ++z) {
            EXPECT_EQ(level.letterAt({x, 0, z}), 'b');
        }
    }
    EXPECT_EQ(level.letterAt({8, 1, 0}), 'p');
    EXPECT_EQ(level.letterAt({8, 1, 15}), 'E');
    EXPECT_EQ(level.playerStarts(), 1);
    EXPECT_EQ(level.exits(), 1);
    EXPECT_EQ(level.enemies(), 0);
    EXPECT_EQ(level.cellCount(), 16 * 8 * 16);
    EXPECT_EQ(std::count(level.cells().begin(), level.cells().end(), 'b'), 16 * 16);
    // The game takes it as it is.
    EXPECT_TRUE(std::holds_alternative<LevelFileLevel>(parseLevelFile(levelFileText(level))));
}

TEST(EditedLevelTest, SmallNewLevelsPlaceWhatFits) {
    struct Case {
        LevelSizes sizes;
        CellPlace start;
        std::optional<CellPlace> exit;
    };
    const Case cases[] = {
        {{1, 1, 1}, {0, 0, 0}, std::nullopt},  // one cell: the start only
        {{3, 1, 1}, {1, 0, 0}, CellPlace{2, 0, 0}}, {{1, 2, 1}, {0, 1, 0}, std::nullopt},
        {{2, 2, 1}, {1, 1, 0}, CellPlace{0, 1, 0}}, {{5, 3, 2}, {2, 1, 0}, CellPlace{2, 1, 1}},
    };
    for (const Case& c : cases) {
        const EditedLevel level = EditedLevel::newLevel(c.sizes);
        EXPECT_EQ(level.letterAt(c.start), 'p') << c.sizes.x << c.sizes.y << c.sizes.z;
        EXPECT_EQ(level.playerStarts(), 1);
        EXPECT_EQ(level.exits(), c.exit ? 1 : 0);
        if (c.exit) {
            EXPECT_EQ(level.letterAt(*c.exit), 'E');
        }
    }
}

TEST(EditedLevelTest, ALevelStringComesBackUnchanged) {
    const auto level = EditedLevel::fromLevelString(kSmall);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->levelString(), kSmall);
    // Each layer's far row comes first in the string: the top layer's far row is "p0e".
    EXPECT_EQ(level->letterAt({0, 1, 1}), 'p');
    EXPECT_EQ(level->letterAt({2, 1, 1}), 'e');
    EXPECT_EQ(level->letterAt({0, 1, 0}), 'E');
    EXPECT_EQ(level->letterAt({2, 0, 1}), 'E');
    EXPECT_EQ(level->letterAt({5, 0, 0}), '0');  // outside
    for (const std::string_view broken :
         {"", "00300200", "003002002bbb", "000002002", "0a3002002bbEbb0p0eE0b"}) {
        EXPECT_FALSE(EditedLevel::fromLevelString(broken)) << broken;
    }
}

TEST(EditedLevelTest, CountsFollowEveryChange) {
    auto level = *EditedLevel::fromLevelString(kSmall);
    EXPECT_EQ(level.exits(), 2);
    level.setLetter({2, 0, 1}, 'p');
    EXPECT_EQ(level.exits(), 1);
    EXPECT_EQ(level.playerStarts(), 2);
    level.fillBox({{0, 1, 0}, {2, 1, 1}}, 'e');
    EXPECT_EQ(level.playerStarts(), 1);
    EXPECT_EQ(level.exits(), 0);
    EXPECT_EQ(level.enemies(), 6);
    level.fillBox({{0, 1, 0}, {2, 1, 1}}, "bb0E0p");
    EXPECT_EQ(level.enemies(), 0);
    EXPECT_EQ(level.exits(), 1);
    EXPECT_EQ(level.playerStarts(), 2);
    EXPECT_EQ(level.boxLetters({{0, 1, 0}, {2, 1, 1}}), "bb0E0p");
}

TEST(EditedLevelTest, TheFileOrderCountsLayersUpAndRowsFromTheFarOne) {
    const auto level = *EditedLevel::fromLevelString(
        "002002002pppe"
        "eppp");
    EXPECT_EQ(level.firstInFileOrder('p', 3), (std::vector<CellPlace>{{0, 0, 1}, {1, 0, 1}, {0, 0, 0}}));
    EXPECT_EQ(level.numberedInFileOrder('e', 2), (CellPlace{0, 1, 1}));
    EXPECT_EQ(level.numberedInFileOrder('e', 3), std::nullopt);
}

TEST(EditedLevelTest, SlabsOnEverySideKeepTheOtherCellsInPlace) {
    const auto original = *EditedLevel::fromLevelString(kSmall);
    struct Case {
        Side side = Side::Left;
        LevelSizes grown;
        CellPlace shift;  // how far every old cell moves when a slab is added
    };
    const Case cases[] = {
        {Side::Left, {4, 2, 2}, {1, 0, 0}},   {Side::Right, {4, 2, 2}, {0, 0, 0}},
        {Side::Near, {3, 2, 3}, {0, 0, 1}},   {Side::Far, {3, 2, 3}, {0, 0, 0}},
        {Side::Bottom, {3, 3, 2}, {0, 1, 0}}, {Side::Top, {3, 3, 2}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EditedLevel level = original;
        level.addSlab(c.side);
        EXPECT_EQ(level.sizes(), c.grown);
        for (std::size_t i = 0; i < original.cells().size(); ++i) {
            const CellPlace old = original.placeOf(i);
            EXPECT_EQ(level.letterAt({old.x + c.shift.x, old.y + c.shift.y, old.z + c.shift.z}),
                      original.cells()[i]);
        }
        EXPECT_EQ(level.boxLetters(level.slabBox(c.side)),
                  std::string(static_cast<std::size_t>(level.cellCount() - original.cellCount()), '0'));
        level.removeSlab(c.side);
        EXPECT_EQ(level, original);

        // Removed and put back with its letters, a slab comes back as it was.
        const std::string slab = level.boxLetters(level.slabBox(c.side));
        level.removeSlab(c.side);
        EXPECT_EQ(level.cellCount(), original.cellCount() - static_cast<std::int64_t>(slab.size()));
        level.addSlab(c.side, slab);
        EXPECT_EQ(level, original);
        EXPECT_EQ(level.exits(), original.exits());
        EXPECT_EQ(level.playerStarts(), original.playerStarts());
    }
}

TEST(EditedLevelTest, ChangesAreKeptForTheViewUntilTaken) {
    auto level = *EditedLevel::fromLevelString(kSmall);
    EXPECT_TRUE(level.takeChanges().whole);  // a new level is all new
    level.setLetter({1, 1, 1}, 'b');
    level.setLetter({1, 1, 1}, 'b');  // no change
    level.fillBox({{0, 0, 0}, {1, 0, 1}}, 'E');
    const LevelChanges changes = level.takeChanges();
    EXPECT_FALSE(changes.whole);
    EXPECT_EQ(changes.boxes, (std::vector<CellBox>{{{1, 1, 1}, {1, 1, 1}}, {{0, 0, 0}, {1, 0, 1}}}));
    EXPECT_TRUE(level.takeChanges().boxes.empty());
    level.addSlab(Side::Top);
    EXPECT_TRUE(level.takeChanges().whole);
}

}  // namespace
}  // namespace brickstorm::editor
