#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "world/level.h"

namespace brickstorm {

// Room for comments and layout beyond the letters: blanks between them, line ends, a title.
inline constexpr std::int64_t kLevelFileBytesPerCell = 4;
inline constexpr std::int64_t kLevelFileCommentAllowance = std::int64_t{1} << 20;

// The most bytes a level file may hold. Blanks and comments could go on without end, so reading
// stops here whatever the file is: the largest level, spaced out generously, still fits.
inline constexpr std::int64_t kMaxLevelFileBytes =
    kLevelFileBytesPerCell * kMaxLevelCells + kLevelFileCommentAllowance;

// The most enemies a level from a file may start with: each one is an entity that thinks, moves
// and is drawn on every tick, so a level full of them would cost without bound.
inline constexpr std::int64_t kMaxLevelEnemies = 1000;

// A place in a level file, both counted from 1; the column counts bytes.
struct FilePlace {
    std::int64_t line = 1;
    std::int64_t column = 1;

    friend bool operator==(const FilePlace&, const FilePlace&) = default;
};

// What makes a level file unusable, and where, if the problem has a place.
struct LevelFileProblem {
    std::optional<FilePlace> place;
    std::string what;  // safe to show: letters from the file come escaped

    friend bool operator==(const LevelFileProblem&, const LevelFileProblem&) = default;
};

// A usable level file: the level as a level string (header, then one letter per cell), and
// what a summary of it says.
struct LevelFileLevel {
    std::string text;
    std::int32_t sizeX = 0;
    std::int32_t sizeY = 0;
    std::int32_t sizeZ = 0;
    std::int64_t enemies = 0;

    friend bool operator==(const LevelFileLevel&, const LevelFileLevel&) = default;
};

using LevelFileResult = std::variant<LevelFileLevel, LevelFileProblem>;

// Reads a level file as it arrives, piece by piece, and stops at the first problem: a file is
// never read beyond what it takes to accept or refuse it, nor beyond kMaxLevelFileBytes.
class LevelFileParser {
public:
    // Takes the next piece of the file. False once a problem is found: no more is needed.
    bool take(std::string_view piece);

    // After the last piece: the level, or the first problem found.
    LevelFileResult finish();

private:
    void takeByte(std::string_view rest);
    void takeHeaderDigit(char digit);
    void takeHeaderEnd();
    void takeLetter(std::string_view rest);
    void fail(std::optional<FilePlace> place, std::string what);
    // Refuses the character that starts `rest`, between the two parts of a message.
    void refuseCharacter(std::string_view rest, std::string before, std::string after);
    std::string_view completeRefusedCharacter(std::string_view piece);
    void failWithRefusedCharacter();
    std::optional<LevelFileProblem> problemAtEnd() const;

    FilePlace here_;  // the byte being read
    std::int64_t bytes_ = 0;
    bool lineBlankSoFar_ = true;
    bool inComment_ = false;

    std::int32_t headerDigits_ = 0;
    FilePlace headerPlace_;
    std::vector<FilePlace> sizePlaces_;
    std::int32_t sizes_[3] = {0, 0, 0};
    std::int64_t cellsNeeded_ = 0;
    std::int64_t cellsFound_ = 0;
    FilePlace firstExtraCell_;

    std::vector<FilePlace> playerStarts_;  // the first few only
    std::int64_t playerStartCount_ = 0;
    std::int64_t exits_ = 0;
    std::int64_t enemies_ = 0;
    std::string text_;
    std::optional<LevelFileProblem> problem_;

    // A refused character whose bytes are not all in yet.
    struct RefusedCharacter {
        FilePlace place;
        std::string bytes;
        std::size_t length = 0;
        std::string before;
        std::string after;
    };
    RefusedCharacter refused_;
};

// The whole text of a level file at once.
LevelFileResult parseLevelFile(std::string_view text);

}  // namespace brickstorm
