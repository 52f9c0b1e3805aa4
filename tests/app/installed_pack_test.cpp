#include "app/installed_pack.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brickstorm::app {
namespace {

using Files = std::vector<std::string>;

// A lister over made-up folders: the ones in `folders` can be read.
FolderLister listerOf(std::map<std::string, Files> folders) {
    return [folders](const std::string& folder) -> std::optional<Files> {
        const auto found = folders.find(folder);
        return found == folders.end() ? std::nullopt : std::optional<Files>(found->second);
    };
}

TEST(InstalledPack, TheInstalledFolderFirstThenTheSourceTrees) {
    const Files installed{"/usr/share/brickstorm/levels/01.lvl"};
    const Files source{"/src/levels/01.lvl", "/src/levels/02.lvl"};
    const auto both =
        findPack("/usr/share/brickstorm/levels", "/src/levels",
                 listerOf({{"/usr/share/brickstorm/levels", installed}, {"/src/levels", source}}));
    EXPECT_EQ(both.files, installed);
    const auto notInstalled =
        findPack("/usr/share/brickstorm/levels", "/src/levels", listerOf({{"/src/levels", source}}));
    EXPECT_EQ(notInstalled.folder, "/src/levels");
    EXPECT_EQ(notInstalled.files, source);
    EXPECT_EQ(packProblem(notInstalled), std::nullopt);

    const auto neither = findPack("/usr/share/brickstorm/levels", "/src/levels", listerOf({}));
    EXPECT_EQ(packProblem(neither), "the level pack's folder '/usr/share/brickstorm/levels' cannot be read");
    const auto empty = findPack("/opt/\x1b[2Jlevels", "", listerOf({{"/opt/\x1b[2Jlevels", {}}}));
    EXPECT_EQ(packProblem(empty), "the level pack's folder '/opt/\\x1b[2Jlevels' holds no level files");
}

TEST(InstalledPack, ThePacksFilesGoWhereTheOptionStood) {
    struct Case {
        std::vector<std::string_view> arguments;
        Files files;
    };
    const Files pack{"p1", "p2"};
    for (const Case& c : {
             Case{{"--pack"}, {"p1", "p2"}}, Case{{"a", "--pack", "b"}, {"a", "p1", "p2", "b"}},
             Case{{"a", "b", "--pack"}, {"a", "b", "p1", "p2"}},
             Case{{"--pack", "--fit", "--pack"}, {"p1", "p2", "p1", "p2"}},
             Case{{"--check", "--pack", "a"}, {"p1", "p2", "a"}},
             Case{{"a", "--", "--pack"}, {"a", "--pack"}},  // after "--", a file of that name
         }) {
        SCOPED_TRACE(c.arguments.front());
        const CommandLine line = parseCommandLine(c.arguments);
        ASSERT_NE(line.action, Action::UsageError) << line.error;
        EXPECT_EQ(levelFilesWithPack(line.options, pack), c.files);
    }
    EXPECT_EQ(parseCommandLine(std::vector<std::string_view>{"--check", "--pack"}).action, Action::Check);
    EXPECT_EQ(parseCommandLine(std::vector<std::string_view>{"--pack=yes"}).action, Action::UsageError);
}

}  // namespace
}  // namespace brickstorm::app
