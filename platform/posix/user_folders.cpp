#include "platform/user_folders.h"

#include <cstdlib>

namespace brickstorm::platform {

namespace {

constexpr const char* kProgramFolder = "/brickstorm";

// A base folder from the environment counts only when it is absolute: a relative one would
// move with the current folder, so it is ignored and the default is used instead, as the
// base-directory convention asks. An empty value counts as unset.
std::optional<std::string> absoluteFolder(const EnvironmentLookup& lookup, const char* name) {
    auto value = lookup(name);
    if (!value || value->empty() || value->front() != '/') {
        return std::nullopt;
    }
    return value;
}

std::string programFolder(const EnvironmentLookup& lookup, const char* variable, const char* underHome) {
    if (const auto base = absoluteFolder(lookup, variable)) {
        return *base + kProgramFolder;
    }
    if (const auto home = absoluteFolder(lookup, "HOME")) {
        return *home + underHome + kProgramFolder;
    }
    return {};
}

}  // namespace

UserFolders userFoldersFrom(const EnvironmentLookup& lookup) {
    return {programFolder(lookup, "XDG_CONFIG_HOME", "/.config"),
            programFolder(lookup, "XDG_STATE_HOME", "/.local/state")};
}

UserFolders userFolders() {
    return userFoldersFrom([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    });
}

}  // namespace brickstorm::platform
