// Fuzzes the level file reader with arbitrary bytes, handed over whole and in two pieces cut at
// a place the input chooses. Both ways must give the same result; an accepted file must give a
// level string that parses to a level of the summary's sizes, with one player start, an exit
// and the summary's enemies.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "world/level.h"
#include "world/level_file.h"

namespace {

using namespace brickstorm;

[[noreturn]] void fail() { std::abort(); }

void checkLevel(const LevelFileLevel& file) {
    const Level level(file.text);
    if (level.sizeX() != file.sizeX || level.sizeY() != file.sizeY || level.sizeZ() != file.sizeZ ||
        static_cast<std::int64_t>(level.enemyStarts().size()) != file.enemies) {
        fail();
    }
    std::size_t starts = 0;
    std::size_t exits = 0;
    for (char c : std::string_view(file.text).substr(9)) {
        starts += c == kCellPlayerStart ? 1 : 0;
        exits += c == kCellExit ? 1 : 0;
    }
    if (starts != 1 || exits < 1) {
        fail();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const LevelFileResult whole = parseLevelFile(input);

    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    LevelFileParser parser;
    if (parser.take(input.substr(0, cut))) {
        parser.take(input.substr(cut));
    }
    if (parser.finish() != whole) {
        fail();
    }
    if (const auto* level = std::get_if<LevelFileLevel>(&whole)) {
        checkLevel(*level);
    }
    return 0;
}
