#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/level.h"

namespace brickstorm {

inline constexpr std::size_t kLevelCount = 10;

// The level strings the game carries; entry i is level number i + 1.
using LevelTable = std::array<std::string, kLevelCount>;

// The built-in table: level 1 is the one real level, levels 2 to 10 are empty strings.
const LevelTable& levelTable();

// The most cells that all levels from files may hold together: each is kept as its level string
// until it is played, so this bounds what a long list of large files costs.
inline constexpr std::int64_t kMaxCellsInAllLevels = 16 * kMaxLevelCells;

// What a level from a file says of itself in its opening comment: its first line names it, the
// next gives a hint. Either may be empty.
struct LevelTitle {
    std::string name;
    std::string hint;

    friend bool operator==(const LevelTitle&, const LevelTitle&) = default;
};

// The levels a game plays, by number from 1: the built-in table, or the levels from files in
// their order. Copies share the levels.
class GameLevels {
public:
    // The built-in table. Its numbers never run out: beyond level 10 every level is empty.
    GameLevels() = default;

    // Levels from files, as level strings: a finite set, whose last exit ends the game.
    explicit GameLevels(std::vector<std::string> levelTexts, std::vector<LevelTitle> titles = {});

    // The string of level `number`; the empty string (the empty world) where there is none.
    const std::string& levelText(std::int32_t number) const;

    // The name and hint of level `number`; empty for the built-in levels and beyond the set.
    const LevelTitle& title(std::int32_t number) const;

    // True when `number` is the last level of a finite set.
    bool isLast(std::int32_t number) const;

private:
    std::shared_ptr<const std::vector<std::string>> fromFiles_;
    std::shared_ptr<const std::vector<LevelTitle>> titles_;
};

}  // namespace brickstorm
