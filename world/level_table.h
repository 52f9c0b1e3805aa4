#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace brickstorm {

inline constexpr std::size_t kLevelCount = 10;

// The level strings the game carries; entry i is level number i + 1.
using LevelTable = std::array<std::string, kLevelCount>;

// The built-in table: level 1 is the one real level, levels 2 to 10 are empty strings.
const LevelTable& levelTable();

}  // namespace brickstorm
