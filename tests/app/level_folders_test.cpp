#include "app/level_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace brickstorm::app {
namespace {

using platform::FolderListing;
using platform::FolderListStatus;

// Folders by name, as a stand-in for the file system; any other name is not a folder.
LevelFileList expand(const std::vector<std::string>& names,
                     const std::map<std::string, FolderListing>& folders) {
    return expandLevelFolders(names, [&](const std::string& name) {
        const auto found = folders.find(name);
        return found == folders.end() ? FolderListing{FolderListStatus::NotAFolder, {}, {}} : found->second;
    });
}

TEST(LevelFoldersTest, AFolderStandsForItsLevelFilesInByteOrder) {
    const FolderListing pack{FolderListStatus::Listed,
                             {"b.lvl", "notes.txt", "B.lvl", "\xc3\xa9.lvl", "10.lvl", "2.lvl", ".hidden.lvl",
                              ".lvl", "lvl", "a.lvl.bak", "a.LVL"},
                             {}};
    const LevelFileList list = expand({"first.lvl", "pack", "last.lvl"}, {{"pack", pack}});
    EXPECT_TRUE(list.problems.empty());
    // Capitals before small letters, digits one by one, bytes beyond ASCII last.
    EXPECT_EQ(list.files, (std::vector<std::string>{"first.lvl", "pack/10.lvl", "pack/2.lvl", "pack/B.lvl",
                                                    "pack/b.lvl", "pack/\xc3\xa9.lvl", "last.lvl"}));
}

TEST(LevelFoldersTest, OneSeparatorBetweenFolderAndName) {
    const FolderListing one{FolderListStatus::Listed, {"1.lvl"}, {}};
    const LevelFileList list = expand({"a/", "b\\", "c"}, {{"a/", one}, {"b\\", one}, {"c", one}});
    EXPECT_EQ(list.files, (std::vector<std::string>{"a/1.lvl", "b\\1.lvl", "c/1.lvl"}));
}

TEST(LevelFoldersTest, EmptyAndUnreadableFoldersAreProblems) {
    const LevelFileList list =
        expand({"empty", "no-levels", "locked\x1b", "good.lvl"},
               {{"empty", {FolderListStatus::Listed, {}, {}}},
                {"no-levels", {FolderListStatus::Listed, {"readme.txt", ".x.lvl"}, {}}},
                {"locked\x1b", {FolderListStatus::Unreadable, {}, "Permission denied"}}});
    EXPECT_EQ(list.files, std::vector<std::string>{"good.lvl"});
    ASSERT_EQ(list.problems.size(), 3U);
    EXPECT_EQ(list.problems[0].text,
              "brickstorm: empty: a folder without level files (names ending in .lvl)\n");
    EXPECT_EQ(list.problems[1].text,
              "brickstorm: no-levels: a folder without level files (names ending in .lvl)\n");
    EXPECT_EQ(list.problems[2].text, "brickstorm: locked\\x1b: cannot be read: Permission denied\n");
    for (const ReportLine& line : list.problems) {
        EXPECT_TRUE(line.problem);
    }
}

}  // namespace
}  // namespace brickstorm::app
