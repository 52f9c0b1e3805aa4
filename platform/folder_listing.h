#pragma once

#include <optional>
#include <string>
#include <vector>

// Listing a folder the player names or the game installs, for its level files.
namespace brickstorm::platform {

// The level files in `folder`: every entry whose name ends in ".lvl" and is not a folder, as
// `folder` joined to the name, in the byte order of the names. Nothing when the folder cannot be
// read (missing, not a folder, not permitted).
std::optional<std::vector<std::string>> levelFilesIn(const std::string& folder);

}  // namespace brickstorm::platform
