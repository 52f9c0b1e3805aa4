#pragma once

#include <string>
#include <string_view>

namespace brickstorm::editor {

// The name of the recovery copy of the level file at `fullPath`: the path made into one safe file
// name (letters, digits, '.', '_' and '-' kept, every other byte as %XX, so that two paths never
// share a name), ending in ".recovery". A path too long for a file name keeps its end, where the
// file's own name is, and a hash of the whole.
std::string recoveryFileName(std::string_view fullPath);

}  // namespace brickstorm::editor
