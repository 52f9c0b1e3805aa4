#include "platform/folder_listing.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace brickstorm::platform {
namespace {

// A folder of its own for each test, removed with everything in it.
class FolderListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/brickstorm-listing-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    void file(const std::string& name) { std::ofstream(folder_ + "/" + name) << "x"; }

    std::string folder_;
};

TEST_F(FolderListingTest, LevelFilesInTheByteOrderOfTheirNames) {
    for (const char* name :
         {"b.lvl", "a.lvl", "B.lvl", "\xc3\xa9.lvl", "10.lvl", "9.lvl", "notes.txt", "a.lvl.bak", ".lvl"}) {
        file(name);
    }
    ASSERT_EQ(::mkdir((folder_ + "/folder.lvl").c_str(), 0700), 0);  // a folder is not a level file
    const std::vector<std::string> expected{folder_ + "/10.lvl", folder_ + "/9.lvl",
                                            folder_ + "/B.lvl",  folder_ + "/a.lvl",
                                            folder_ + "/b.lvl",  folder_ + "/\xc3\xa9.lvl"};
    EXPECT_EQ(levelFilesIn(folder_), expected);
    EXPECT_EQ(levelFilesIn(folder_ + "/"), expected);
}

TEST_F(FolderListingTest, AnEmptyFolderHasNoneAndAnUnreadableOneIsNothing) {
    EXPECT_EQ(levelFilesIn(folder_), std::vector<std::string>{});
    EXPECT_EQ(levelFilesIn(folder_ + "/missing"), std::nullopt);
    file("plain.lvl");
    EXPECT_EQ(levelFilesIn(folder_ + "/plain.lvl"), std::nullopt);  // a file, not a folder
}

}  // namespace
}  // namespace brickstorm::platform
