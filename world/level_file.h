#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "world/level.h"
#include "world/level_table.h"

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

// The largest size along one axis that a file's header can say: three digits a size.
inline constexpr std::int32_t kMaxLevelFileSize = 999;

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
    LevelTitle title;  // from the opening comment: its first line the name, its second the hint

    friend bool operator==(const LevelFileLevel&, const LevelFileLevel&) = default;
};

using LevelFileResult = std::variant<LevelFileLevel, LevelFileProblem>;

// What a file is read for. For play any problem refuses it. For editing, the problems of its
// contents (the player's start, the exits, the number of enemies) are noted and the reading goes
// on, since an editor can mend them; a problem of its shape (header, letters, number of cells,
// size, bytes) still refuses it.
enum class LevelFileUse : std::uint8_t { Play, Edit };

// The player starts a message about several of them names by place; the rest it counts.
inline constexpr std::size_t kNamedPlayerStarts = 6;

// What a level's letters add up to, as far as the loader judges its contents.
struct LevelContentCounts {
    std::int64_t playerStarts = 0;
    std::vector<FilePlace> firstPlayerStarts;  // the places of the first kNamedPlayerStarts, in order
    std::int64_t exits = 0;
    std::int64_t enemies = 0;
    std::optional<FilePlace> firstEnemyTooMany;  // the enemy one past kMaxLevelEnemies, if any
};

// The problems of those contents in the loader's words, in the order it meets them: too many
// enemies (found while reading), then the player's start, then the exit. Empty when the
// contents are sound.
std::vector<LevelFileProblem> levelContentProblems(const LevelContentCounts& counts);

// The most bytes of a name or a hint that a level's title keeps: more than any screen shows.
inline constexpr std::int64_t kMostTitleBytes = 200;

// A level's title from the comment lines before its sizes (each with its comment mark): the
// first names it, the second is its hint; blanks around them left out.
LevelTitle levelTitle(const std::vector<std::string>& leadingComments);

// A comment line among a level's layers, kept when reading for editing: the layer of the first
// cell after it (the number of layers, for a comment after the last cell) and the line whole
// from its '#', without the line end.
struct LayerComment {
    std::int32_t layer = 0;
    std::string text;

    friend bool operator==(const LayerComment&, const LayerComment&) = default;
};

// A level file read for editing: its level (the text keeps every letter as written), the
// comment lines that stood before its sizes and those among its layers (each whole, from its
// '#', without the line end), and the problems of its contents, as levelContentProblems gives
// them.
struct EditableLevelFile {
    LevelFileLevel level;
    std::vector<std::string> leadingComments;
    std::vector<LayerComment> layerComments;
    std::vector<LevelFileProblem> contentProblems;
};

using EditableLevelFileResult = std::variant<EditableLevelFile, LevelFileProblem>;

// A level file read for play, with every problem that makes it unusable: the problem of its shape
// alone (its contents cannot be judged without a whole level), or else every problem of its
// contents, as levelContentProblems gives them, so that a check names them all as the editor does.
using CheckedLevelFile = std::variant<LevelFileLevel, std::vector<LevelFileProblem>>;

// Reads a level file as it arrives, piece by piece, and stops at the first problem: a file is
// never read beyond what it takes to accept or refuse it, nor beyond kMaxLevelFileBytes.
class LevelFileParser {
public:
    explicit LevelFileParser(LevelFileUse use = LevelFileUse::Play) : use_(use) {}

    // Takes the next piece of the file. False once a problem is found: no more is needed.
    bool take(std::string_view piece);

    // After the last piece: the level, or the first problem found.
    LevelFileResult finish();

    // After the last piece: the level, or every problem found (never an empty list).
    CheckedLevelFile finishNamingEveryProblem();

    // After the last piece of a file read for editing: the level with the problems of its
    // contents, or the problem of its shape.
    EditableLevelFileResult finishForEditing();

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
    std::optional<LevelFileProblem> shapeProblemAtEnd() const;
    LevelContentCounts contentCounts() const;
    // The comment being read, when it is kept (in a file read for editing, before the sizes or
    // after them); nothing otherwise.
    std::string* keptComment();
    void startComment();

    LevelFileUse use_;
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
    std::optional<FilePlace> firstEnemyTooMany_;
    std::vector<std::string> leadingComments_;  // kept when reading for editing
    std::vector<LayerComment> layerComments_;   // the same
    enum class KeptComment : std::uint8_t { None, Leading, Layer };
    KeptComment keptComment_ = KeptComment::None;  // where the comment being read goes
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
