#pragma once

#include <string>

// A file's full path, for naming what belongs to it wherever the program was started from.
namespace brickstorm::platform {

// The absolute path of `path`, with the folders that exist resolved (links, "." and ".."); the
// file itself need not exist. `path` itself when the system cannot say.
std::string fullPath(const std::string& path);

}  // namespace brickstorm::platform
