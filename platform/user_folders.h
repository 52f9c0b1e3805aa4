#pragma once

#include <functional>
#include <optional>
#include <string>

// Where the program keeps the player's things between runs, as the system's conventions place
// them. One implementation per platform.
namespace brickstorm::platform {

// Folders named for the program ("…/brickstorm"), without a trailing separator; empty when the
// environment names no place for them (no home folder). They need not exist yet: makeFolders
// creates one before the first file is written into it.
struct UserFolders {
    std::string settings;  // what the player sets: the configuration file
    std::string state;     // what the game remembers: progress, the editor's recovery copies

    friend bool operator==(const UserFolders&, const UserFolders&) = default;
};

// The value of an environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The folders for the environment that `lookup` reads.
UserFolders userFoldersFrom(const EnvironmentLookup& lookup);

// The folders for this process's environment.
UserFolders userFolders();

}  // namespace brickstorm::platform
