// Fuzzes the level parser with arbitrary bytes. A string either parses to the invalid level or
// to a level whose cells, read back through cellAt, give the string again (start letters read
// as empty cells).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "world/level.h"

namespace {

using brickstorm::Level;

[[noreturn]] void fail() { std::abort(); }

bool isInvalid(const Level& level) {
    return level.sizeX() == -1 && level.sizeY() == -1 && level.sizeZ() == -1 && level.cellCount() == 0 &&
           level.enemyStarts().empty() && level.playerStart == brickstorm::Vec3{};
}

// The string that the level's own cells spell, in string order, behind the input's header.
std::string spellOut(const Level& level, const std::string& header) {
    std::string text = header;
    for (std::int32_t y = 0; y < level.sizeY(); ++y) {
        for (std::int32_t z = level.sizeZ() - 1; z >= 0; --z) {
            for (std::int32_t x = 0; x < level.sizeX(); ++x) {
                text += level.cellAt(x, y, z);
            }
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Level level(input);
    if (isInvalid(level)) {
        return 0;
    }
    std::string expected = input;
    std::size_t enemies = 0;
    for (std::size_t i = 9; i < expected.size(); ++i) {
        if (expected[i] == brickstorm::kCellEnemyStart) {
            ++enemies;
        }
        if (expected[i] == brickstorm::kCellEnemyStart || expected[i] == brickstorm::kCellPlayerStart) {
            expected[i] = brickstorm::kCellEmpty;
        }
    }
    if (spellOut(level, input.substr(0, 9)) != expected || level.enemyStarts().size() != enemies) {
        fail();
    }
    // Beyond the grid every lookup is empty.
    if (level.cellAt(level.sizeX(), 0, 0) != brickstorm::kCellEmpty ||
        level.cellAt(0, -1, 0) != brickstorm::kCellEmpty) {
        fail();
    }
    return 0;
}
