#include "settings/progress.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace brickstorm::settings {
namespace {

constexpr std::string_view kHeader =
    "# brickstorm progress 1: the highest level reached in each set of levels\n";

std::string file(std::string_view lines) { return std::string(kHeader) + std::string(lines); }

TEST(LevelSets, ToldApartByTheirLevelsNotTheirNames) {
    const std::vector<std::string> pack{"003 001 003 bbbbpbbbE", "003 001 003 bbbpbbbbE"};
    const std::string name = levelSetName(pack);
    EXPECT_EQ(name.size(), 16U);
    EXPECT_EQ(name.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(levelSetName(pack), name);  // the same levels, the same set, run after run
    EXPECT_EQ(levelSetName({}), "built-in");

    // A changed level, another order, a level more or less, or the same bytes cut otherwise:
    // each is a new set.
    const std::vector<std::vector<std::string>> others{
        {"003 001 003 bbbbpbbbE", "003 001 003 bbbpbbbb0"},
        {"003 001 003 bbbpbbbbE", "003 001 003 bbbbpbbbE"},
        {"003 001 003 bbbbpbbbE"},
        {"003 001 003 bbbbpbbbE", "003 001 003 bbbpbbbbE", "003 001 003 bbbpbbbbE"},
        {"003 001 003 bbbbpbbbE003 001 003 bbbpbbbbE"},
    };
    std::set<std::string> names{name};
    for (const auto& other : others) {
        names.insert(levelSetName(other));
    }
    EXPECT_EQ(names.size(), others.size() + 1);
}

TEST(Progress, KeepsTheHighestLevelOfEachSet) {
    Progress progress;
    EXPECT_TRUE(progress.reach("built-in", 3));
    EXPECT_FALSE(progress.reach("built-in", 2));
    EXPECT_FALSE(progress.reach("built-in", 3));
    EXPECT_TRUE(progress.reach("0123456789abcdef", 1));
    EXPECT_EQ(progress.reachedIn("built-in"), 3);
    EXPECT_EQ(progress.reachedIn("fedcba9876543210"), std::nullopt);

    Progress other;
    other.reach("built-in", 2);
    other.reach("fedcba9876543210", 7);
    progress.mergeFrom(other);
    EXPECT_EQ(progress.reachedIn("built-in"), 3);
    EXPECT_EQ(progress.reachedIn("fedcba9876543210"), 7);
    EXPECT_EQ(progress.reachedIn("0123456789abcdef"), 1);
}

TEST(ProgressFile, WrittenAndReadBack) {
    Progress progress;
    progress.reach("built-in", 4);
    progress.reach("9c1f0e5a3b7d2e41", 12);
    const std::string text = progressText(progress);
    EXPECT_EQ(text, file("9c1f0e5a3b7d2e41 12\nbuilt-in 4\n"));
    const ProgressReading reading = readProgressText(text);
    EXPECT_EQ(reading.progress, progress);
    EXPECT_FALSE(reading.damage.has_value());
    EXPECT_FALSE(readProgressText(progressText(Progress{})).damage.has_value());
}

TEST(ProgressFile, DamageIsFoundAndTheGoodLinesKept) {
    struct Case {
        std::string text;
        ProgressDamage damage;
        std::vector<std::pair<std::string, std::int32_t>> kept;
    };
    const Case cases[] = {
        {"", {1, "empty, not a progress file"}, {}},
        {"built-in 3\n", {1, "not a progress file"}, {}},
        {"\x7f"
         "ELF\x02\x01\x01",
         {1, "not a progress file"},
         {}},
        // half written: a line cut short, anywhere
        {std::string(kHeader.substr(0, 20)), {1, "cut short"}, {}},
        {file("built-in 3\n9c1f0e5a3b7d2e41 1"), {3, "cut short"}, {{"built-in", 3}}},
        {file("built-in 3\nbuilt-in"), {3, "cut short"}, {{"built-in", 3}}},
        // damaged lines amid good ones
        {file("built-in 3\nbuilt-in\n9c1f0e5a3b7d2e41 5\n"),
         {3, "not a set of levels and a level"},
         {{"built-in", 3}, {"9c1f0e5a3b7d2e41", 5}}},
        {file("my-pack 3\nbuilt-in 2\n"), {2, "not the name of a set of levels"}, {{"built-in", 2}}},
        {file("9C1F0E5A3B7D2E41 3\n"), {2, "not the name of a set of levels"}, {}},
        {file("built-in 0\n"), {2, "not a level number"}, {}},
        {file("built-in -2\n"), {2, "not a level number"}, {}},
        {file("built-in 3x\n"), {2, "not a level number"}, {}},
        {file("built-in 99999999999\n"), {2, "not a level number"}, {}},
        {file("\n"), {2, "not a set of levels and a level"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ProgressReading reading = readProgressText(c.text);
        EXPECT_EQ(reading.damage, c.damage) << (reading.damage ? reading.damage->what : "no damage");
        Progress kept;
        for (const auto& [set, level] : c.kept) {
            kept.reach(set, level);
        }
        EXPECT_EQ(reading.progress, kept);
    }
}

TEST(ProgressFile, TheSameSetTwiceKeepsTheHigher) {
    const ProgressReading reading = readProgressText(file("built-in 5\nbuilt-in 2\n"));
    EXPECT_EQ(reading.progress.reachedIn("built-in"), 5);
    EXPECT_FALSE(reading.damage.has_value());
}

}  // namespace
}  // namespace brickstorm::settings
