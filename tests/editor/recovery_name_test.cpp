// Recovery copies' names: one safe file name for each full path, never shared by two paths, and
// short enough for any file system.
#include "editor/recovery_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace brickstorm::editor {
namespace {

TEST(RecoveryNameTest, APathBecomesOneSafeName) {
    EXPECT_EQ(recoveryFileName("/home/pat/levels/my level.lvl"),
              "%2fhome%2fpat%2flevels%2fmy%20level.lvl.recovery");
    EXPECT_EQ(recoveryFileName("C:\\Levels\\a.lvl"), "C%3a%5cLevels%5ca.lvl.recovery");
    EXPECT_EQ(recoveryFileName("/a/\x1b[2J\xc3\xa9.lvl"), "%2fa%2f%1b%5b2J%c3%a9.lvl.recovery");
    // Paths that an escape could confuse still get names of their own.
    std::set<std::string> names;
    for (const char* path : {"/a/b.lvl", "/a%2fb.lvl", "/a_b.lvl", "/A/b.lvl", "/a/b.lvl "}) {
        EXPECT_TRUE(names.insert(recoveryFileName(path)).second) << path;
    }
}

TEST(RecoveryNameTest, ALongPathKeepsItsEndAndAHashOfTheWhole) {
    const std::string folder = "/" + std::string(300, 'f');
    const std::string first = recoveryFileName(folder + "1/mine.lvl");
    const std::string second = recoveryFileName(folder + "2/mine.lvl");
    EXPECT_LE(first.size(), 255U);
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.ends_with("%2fmine.lvl.recovery")) << first;
    EXPECT_EQ(first.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-%"),
              std::string::npos);
}

}  // namespace
}  // namespace brickstorm::editor
