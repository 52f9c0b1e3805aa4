#include "platform/user_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace brickstorm::platform {
namespace {

UserFolders foldersFor(const std::map<std::string, std::string>& environment) {
    return userFoldersFrom([&](const char* name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found != environment.end() ? std::optional<std::string>(found->second) : std::nullopt;
    });
}

TEST(UserFoldersWindows, SettingsRoamAndStateStaysOnTheMachine) {
    EXPECT_EQ(foldersFor({{"APPDATA", "C:\\Users\\ann\\AppData\\Roaming"},
                          {"LOCALAPPDATA", "C:\\Users\\ann\\AppData\\Local"}}),
              (UserFolders{"C:\\Users\\ann\\AppData\\Roaming\\brickstorm",
                           "C:\\Users\\ann\\AppData\\Local\\brickstorm"}));
    EXPECT_EQ(foldersFor({{"APPDATA", ""}}), (UserFolders{"", ""}));
}

}  // namespace
}  // namespace brickstorm::platform
