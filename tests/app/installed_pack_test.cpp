#include "app/installed_pack.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brickstorm::app {
namespace {

using Files = std::vector<std::string>;

// A lister over made-up folders: the ones in `folders` are folders, anything else is not.
FolderLister listerOf(const std::set<std::string>& folders) {
    return [folders](const std::string& folder) {
        platform::FolderListing listing;
        if (folders.count(folder) == 0) {
            listing.status = platform::FolderListStatus::NotAFolder;
        }
        return listing;
    };
}

TEST(InstalledPack, TheInstalledFolderFirstThenTheSourceTrees) {
    const std::string installed = "/usr/share/brickstorm/levels";
    const std::string source = "/src/levels";
    EXPECT_EQ(packFolder(installed, source, listerOf({installed, source})), installed);
    EXPECT_EQ(packFolder(installed, source, listerOf({source})), source);
    // Neither: the installed one, so that the message about it names the folder the game expects.
    EXPECT_EQ(packFolder(installed, source, listerOf({})), installed);
    EXPECT_EQ(packFolder(installed, "", listerOf({""})), installed);
}

TEST(InstalledPack, ThePacksFolderGoesWhereTheOptionStood) {
    struct Case {
        std::vector<std::string_view> arguments;
        Files names;
    };
    for (const Case& c : {
             Case{{"--pack"}, {"P"}}, Case{{"a", "--pack", "b"}, {"a", "P", "b"}},
             Case{{"a", "b", "--pack"}, {"a", "b", "P"}}, Case{{"--pack", "--fit", "--pack"}, {"P", "P"}},
             Case{{"--check", "--pack", "a"}, {"P", "a"}},
             Case{{"a", "--", "--pack"}, {"a", "--pack"}},  // after "--", a file of that name
         }) {
        SCOPED_TRACE(c.arguments.front());
        const CommandLine line = parseCommandLine(c.arguments);
        ASSERT_NE(line.action, Action::UsageError) << line.error;
        EXPECT_EQ(levelFilesWithPack(line.options, "P"), c.names);
    }
    EXPECT_EQ(parseCommandLine(std::vector<std::string_view>{"--check", "--pack"}).action, Action::Check);
    EXPECT_EQ(parseCommandLine(std::vector<std::string_view>{"--pack=yes"}).action, Action::UsageError);
}

}  // namespace
}  // namespace brickstorm::app
