#include "platform/user_folders.h"

#include <cstdlib>

namespace brickstorm::platform {

namespace {

constexpr const char* kProgramFolder = "\\brickstorm";

// Roaming application data for what the player sets, which follows them between machines; local
// application data for what the game remembers on this one.
std::string programFolder(const EnvironmentLookup& lookup, const char* variable) {
    const auto base = lookup(variable);
    if (!base || base->empty()) {
        return {};
    }
    return *base + kProgramFolder;
}

}  // namespace

UserFolders userFoldersFrom(const EnvironmentLookup& lookup) {
    return {programFolder(lookup, "APPDATA"), programFolder(lookup, "LOCALAPPDATA")};
}

UserFolders userFolders() {
    return userFoldersFrom([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    });
}

}  // namespace brickstorm::platform
