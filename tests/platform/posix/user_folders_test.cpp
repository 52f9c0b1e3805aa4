#include "platform/user_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace brickstorm::platform {
namespace {

struct FoldersCase {
    const char* name;
    std::map<std::string, std::string> environment;
    UserFolders expected;
};

class UserFoldersTest : public ::testing::TestWithParam<FoldersCase> {};

TEST_P(UserFoldersTest, FollowTheBaseDirectoryConvention) {
    const auto& environment = GetParam().environment;
    const UserFolders folders = userFoldersFrom([&](const char* name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found != environment.end() ? std::optional<std::string>(found->second) : std::nullopt;
    });
    EXPECT_EQ(folders, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, UserFoldersTest,
    ::testing::Values(
        FoldersCase{"Unset",
                    {{"HOME", "/home/ann"}},
                    {"/home/ann/.config/brickstorm", "/home/ann/.local/state/brickstorm"}},
        FoldersCase{"Set",
                    {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_STATE_HOME", "/var/ann"}},
                    {"/cfg/brickstorm", "/var/ann/brickstorm"}},
        FoldersCase{"Empty",
                    {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", ""}, {"XDG_STATE_HOME", ""}},
                    {"/home/ann/.config/brickstorm", "/home/ann/.local/state/brickstorm"}},
        FoldersCase{"Relative",
                    {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_STATE_HOME", "./state"}},
                    {"/home/ann/.config/brickstorm", "/home/ann/.local/state/brickstorm"}},
        FoldersCase{"OneOfEach",
                    {{"HOME", "/home/ann"}, {"XDG_STATE_HOME", "/s"}},
                    {"/home/ann/.config/brickstorm", "/s/brickstorm"}},
        FoldersCase{"NoHomeButSet",
                    {{"XDG_CONFIG_HOME", "/cfg"}, {"XDG_STATE_HOME", "/s"}},
                    {"/cfg/brickstorm", "/s/brickstorm"}},
        FoldersCase{"NoHome", {}, {"", ""}}, FoldersCase{"RelativeHome", {{"HOME", "home"}}, {"", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brickstorm::platform
