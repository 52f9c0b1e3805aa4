#include "world/level_table.h"

#include <utility>

namespace brickstorm {

namespace {

// Level 1, fifteen cells wide and deep and six high. One row of the string per line:
// the layers from the floor up, each from z = 14 down to z = 0, x growing to the right.
constexpr const char* kBuiltInLevel =
    "015006015"        // sizes x, y, z
    "bbbbbbbbbbbbbbb"  // y = 0, z = 14
    "bbbbbbbbbbbbbbb"  // y = 0, z = 13
    "bbbbbbbbbbbbbbb"  // y = 0, z = 12
    "bbbbbbbbbbbbbbb"  // y = 0, z = 11
    "bbbbbbbbbbbbbbb"  // y = 0, z = 10
    "bbbbbbbbbbbbbbb"  // y = 0, z =  9
    "bbbbbbbbbbbbbbb"  // y = 0, z =  8
    "bbbbbbbbbbbbbbb"  // y = 0, z =  7
    "bbbbbbbbbbbbbbb"  // y = 0, z =  6
    "bbbbbbbbbbbbbbb"  // y = 0, z =  5
    "bbbbbbbbbbbbbbb"  // y = 0, z =  4
    "bbbbbbbbbbbbbbb"  // y = 0, z =  3
    "bbbbbbbbbbbbbbb"  // y = 0, z =  2
    "bbbbbbbbbbbbbbb"  // y = 0, z =  1
    "bbbbbbbbbbbbbbb"  // y = 0, z =  0
    "00b000000000000"  // y = 1, z = 14
    "00000000000e000"  // y = 1, z = 13
    "00b000000000000"  // y = 1, z = 12
    "0000000000bbEbb"  // y = 1, z = 11
    "0000000000b000b"  // y = 1, z = 10
    "00000000000000b"  // y = 1, z =  9
    "00b0000000b000b"  // y = 1, z =  8
    "0000000000bbbbb"  // y = 1, z =  7
    "00b00000000000e"  // y = 1, z =  6
    "00b000000000000"  // y = 1, z =  5
    "00b000000000000"  // y = 1, z =  4
    "000000000000000"  // y = 1, z =  3
    "000000000000000"  // y = 1, z =  2
    "00b000000000000"  // y = 1, z =  1
    "00b00000p000000"  // y = 1, z =  0
    "00b000000000000"  // y = 2, z = 14
    "000000000000000"  // y = 2, z = 13
    "00b000000000000"  // y = 2, z = 12
    "0000000000bbbbb"  // y = 2, z = 11
    "0000000000bbbbb"  // y = 2, z = 10
    "0000000000bbbbb"  // y = 2, z =  9
    "00b0000000bbbbb"  // y = 2, z =  8
    "0000000000bbbbb"  // y = 2, z =  7
    "00b000000000000"  // y = 2, z =  6
    "000000000000000"  // y = 2, z =  5
    "00b000000000000"  // y = 2, z =  4
    "000000000000000"  // y = 2, z =  3
    "00b000000000000"  // y = 2, z =  2
    "000000000000000"  // y = 2, z =  1
    "00b000000000000"  // y = 2, z =  0
    "00b000000000000"  // y = 3, z = 14
    "00b000000000000"  // y = 3, z = 13
    "00b000000000000"  // y = 3, z = 12
    "000000000000000"  // y = 3, z = 11
    "00b000000000000"  // y = 3, z = 10
    "00b000000000000"  // y = 3, z =  9
    "00b000000000000"  // y = 3, z =  8
    "000000000000000"  // y = 3, z =  7
    "00b000000000000"  // y = 3, z =  6
    "000000000000000"  // y = 3, z =  5
    "00b000000000000"  // y = 3, z =  4
    "000000000000000"  // y = 3, z =  3
    "00b000000000000"  // y = 3, z =  2
    "000000000000000"  // y = 3, z =  1
    "00b000000000000"  // y = 3, z =  0
    "00b000000000000"  // y = 4, z = 14
    "000000000000000"  // y = 4, z = 13
    "00b000000000000"  // y = 4, z = 12
    "000000000000000"  // y = 4, z = 11
    "00b000000000000"  // y = 4, z = 10
    "000000000000000"  // y = 4, z =  9
    "00b000000000000"  // y = 4, z =  8
    "000000000000000"  // y = 4, z =  7
    "00b000000000000"  // y = 4, z =  6
    "000000000000000"  // y = 4, z =  5
    "00b000000000000"  // y = 4, z =  4
    "000000000000000"  // y = 4, z =  3
    "00b000000000000"  // y = 4, z =  2
    "000000000000000"  // y = 4, z =  1
    "00b000000000000"  // y = 4, z =  0
    "000000000000000"  // y = 5, z = 14
    "00b000000000000"  // y = 5, z = 13
    "000000000000000"  // y = 5, z = 12
    "000000000000000"  // y = 5, z = 11
    "000000000000000"  // y = 5, z = 10
    "00b000000000000"  // y = 5, z =  9
    "00b000000000000"  // y = 5, z =  8
    "000000000000000"  // y = 5, z =  7
    "00b000000000000"  // y = 5, z =  6
    "000000000000000"  // y = 5, z =  5
    "00b000000000000"  // y = 5, z =  4
    "000000000000000"  // y = 5, z =  3
    "000000000000000"  // y = 5, z =  2
    "00b000000000000"  // y = 5, z =  1
    "00b000000000000"  // y = 5, z =  0
    ;

}  // namespace

const LevelTable& levelTable() {
    static const LevelTable table{kBuiltInLevel, "", "", "", "", "", "", "", "", ""};
    return table;
}

GameLevels::GameLevels(std::vector<std::string> levelTexts, std::vector<LevelTitle> titles)
    : fromFiles_(std::make_shared<const std::vector<std::string>>(std::move(levelTexts))),
      titles_(std::make_shared<const std::vector<LevelTitle>>(std::move(titles))) {}

const LevelTitle& GameLevels::title(std::int32_t number) const {
    static const LevelTitle kNoTitle;
    if (number < 1 || !titles_) {
        return kNoTitle;
    }
    const auto index = static_cast<std::size_t>(number) - 1;
    return index < titles_->size() ? (*titles_)[index] : kNoTitle;
}

const std::string& GameLevels::levelText(std::int32_t number) const {
    static const std::string kNoLevel;
    if (number < 1) {
        return kNoLevel;
    }
    const auto index = static_cast<std::size_t>(number) - 1;
    if (fromFiles_) {
        return index < fromFiles_->size() ? (*fromFiles_)[index] : kNoLevel;
    }
    return index < levelTable().size() ? levelTable()[index] : kNoLevel;
}

bool GameLevels::isLast(std::int32_t number) const {
    return fromFiles_ && number >= 1 && static_cast<std::size_t>(number) == fromFiles_->size();
}

}  // namespace brickstorm
