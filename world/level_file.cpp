#include "world/level_file.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "world/display_text.h"

namespace brickstorm {

namespace {

constexpr std::int32_t kHeaderDigits = 9;
constexpr std::int32_t kDigitsPerSize = 3;
constexpr char kCommentMark = '#';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kSizeNames[] = {"x", "y", "z"};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isCellLetter(char c) {
    return c == kCellBlock || c == kCellEmpty || c == kCellExit || c == kCellPlayerStart ||
           c == kCellEnemyStart;
}

std::string placeText(FilePlace place) {
    return std::to_string(place.line) + ":" + std::to_string(place.column);
}

// The length of the UTF-8 sequence that `lead` starts, or 1 for any other byte.
std::size_t sequenceLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    if ((byte & 0xe0U) == 0xc0U) {
        return 2;
    }
    if ((byte & 0xf0U) == 0xe0U) {
        return 3;
    }
    if ((byte & 0xf8U) == 0xf0U) {
        return 4;
    }
    return 1;
}

// The character that starts `rest` as a message shows it: a whole UTF-8 sequence where one
// starts, so that a mistyped 'é' reads as itself rather than as two stray bytes.
std::string shownCharacter(std::string_view rest) {
    // Invisible wherever it is shown, so it is named instead (some editors put it at the start
    // of a file saved as UTF-8).
    if (rest.starts_with(kByteOrderMark)) {
        return "a byte-order mark (U+FEFF)";
    }
    std::size_t length = sequenceLength(rest[0]);
    if (length > rest.size()) {
        length = 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(rest[i]) & 0xc0U) != 0x80U) {
            length = 1;
        }
    }
    return quotedForDisplay(rest.substr(0, length));
}

std::string sizesText(const std::int32_t (&sizes)[3]) {
    return std::to_string(sizes[0]) + " x " + std::to_string(sizes[1]) + " x " + std::to_string(sizes[2]);
}

}  // namespace

bool LevelFileParser::take(std::string_view piece) {
    if (!refused_.bytes.empty()) {
        piece = completeRefusedCharacter(piece);
    }
    for (std::size_t i = 0; i < piece.size() && !problem_ && refused_.bytes.empty(); ++i) {
        takeByte(piece.substr(i));
    }
    return !problem_;
}

void LevelFileParser::refuseCharacter(std::string_view rest, std::string before, std::string after) {
    const std::size_t length = sequenceLength(rest[0]);
    refused_ = {here_, std::string(rest.substr(0, length)), length, std::move(before), std::move(after)};
    completeRefusedCharacter({});
}

std::string_view LevelFileParser::completeRefusedCharacter(std::string_view piece) {
    // A character cut by the end of a piece waits for the rest of its bytes, so that the message
    // does not depend on where the file happened to be cut.
    const std::size_t missing = refused_.length - refused_.bytes.size();
    const std::size_t taken = std::min(missing, piece.size());
    refused_.bytes += piece.substr(0, taken);
    if (refused_.bytes.size() == refused_.length) {
        failWithRefusedCharacter();
    }
    return piece.substr(taken);
}

void LevelFileParser::failWithRefusedCharacter() {
    fail(refused_.place, refused_.before + shownCharacter(refused_.bytes) + refused_.after);
    refused_ = {};
}

void LevelFileParser::takeByte(std::string_view rest) {
    const char c = rest[0];
    if (++bytes_ > kMaxLevelFileBytes) {
        fail(std::nullopt, "the file is larger than " + std::to_string(kMaxLevelFileBytes) +
                               " bytes, the most a level file may hold");
        return;
    }
    if (c == '\n') {
        if (std::string* comment = keptComment();
            comment != nullptr && !comment->empty() && comment->back() == '\r') {
            comment->pop_back();
        }
        ++here_.line;
        here_.column = 1;
        lineBlankSoFar_ = true;
        inComment_ = false;
        keptComment_ = KeptComment::None;
        return;
    }
    // For play a title's line is kept only so far: enough for any blanks before it and its text.
    if (std::string* comment = keptComment();
        comment != nullptr && (use_ == LevelFileUse::Edit || std::ssize(*comment) < 2 * kMostTitleBytes)) {
        *comment += c;
    }
    if (!inComment_ && !isBlank(c)) {
        if (lineBlankSoFar_ && c == kCommentMark) {
            inComment_ = true;
            startComment();
        } else if (headerDigits_ < kHeaderDigits) {
            if (isDigit(c)) {
                takeHeaderDigit(c);
            } else {
                refuseCharacter(
                    rest, "the header is nine digits, three for each size x, y and z: ", " is not a digit");
            }
        } else {
            takeLetter(rest);
        }
        lineBlankSoFar_ = false;
    }
    ++here_.column;
}

void LevelFileParser::takeHeaderDigit(char digit) {
    if (headerDigits_ == 0) {
        headerPlace_ = here_;
    }
    if (headerDigits_ % kDigitsPerSize == 0) {
        sizePlaces_.push_back(here_);
    }
    std::int32_t& size = sizes_[headerDigits_ / kDigitsPerSize];
    size = size * 10 + (digit - '0');
    if (++headerDigits_ == kHeaderDigits) {
        takeHeaderEnd();
    }
}

void LevelFileParser::takeHeaderEnd() {
    for (std::size_t i = 0; i < 3; ++i) {
        if (sizes_[i] < 1) {
            fail(sizePlaces_[i],
                 std::string("size ") + kSizeNames[i] + " is 0: every size must be at least 1");
            return;
        }
    }
    cellsNeeded_ = std::int64_t{sizes_[0]} * sizes_[1] * sizes_[2];
    if (cellsNeeded_ > kMaxLevelCells) {
        fail(headerPlace_, "the level is " + sizesText(sizes_) + " = " + std::to_string(cellsNeeded_) +
                               " cells, more than the largest allowed, " + std::to_string(kMaxLevelCells) +
                               " cells");
        return;
    }
    text_.reserve(static_cast<std::size_t>(kHeaderDigits + cellsNeeded_));
    for (const std::int32_t size : sizes_) {
        const std::string digits = std::to_string(size);
        text_.append(static_cast<std::size_t>(kDigitsPerSize) - digits.size(), '0');
        text_ += digits;
    }
}

void LevelFileParser::takeLetter(std::string_view rest) {
    const char c = rest[0];
    if (!isCellLetter(c)) {
        refuseCharacter(rest, "letter ", " is not allowed: a cell is one of b, 0, E, p and e");
        return;
    }
    if (++cellsFound_ > cellsNeeded_) {
        // Only counted from here on: the message says how many there are.
        if (cellsFound_ == cellsNeeded_ + 1) {
            firstExtraCell_ = here_;
        }
        return;
    }
    text_ += c;
    if (c == kCellPlayerStart) {
        if (playerStarts_.size() < kNamedPlayerStarts) {
            playerStarts_.push_back(here_);
        }
        ++playerStartCount_;
    } else if (c == kCellExit) {
        ++exits_;
    } else if (c == kCellEnemyStart && ++enemies_ == kMaxLevelEnemies + 1) {
        // For play the file is refused here, without reading on; an editor reads on and shows it.
        firstEnemyTooMany_ = here_;
        if (use_ == LevelFileUse::Play) {
            LevelContentCounts counts;
            counts.enemies = enemies_;
            counts.firstEnemyTooMany = here_;
            problem_ = levelContentProblems(counts).front();
        }
    }
}

std::string* LevelFileParser::keptComment() {
    switch (keptComment_) {
    case KeptComment::Leading: return &leadingComments_.back();
    case KeptComment::Layer: return &layerComments_.back().text;
    case KeptComment::None: break;
    }
    return nullptr;
}

void LevelFileParser::startComment() {
    if (use_ != LevelFileUse::Edit) {
        // A game shows a level's name and hint, its first two comment lines; an editor writes
        // every comment line back.
        if (headerDigits_ == 0 && leadingComments_.size() < 2) {
            leadingComments_.emplace_back(1, kCommentMark);
            keptComment_ = KeptComment::Leading;
        }
        return;
    }
    if (headerDigits_ == 0) {
        leadingComments_.emplace_back(1, kCommentMark);
        keptComment_ = KeptComment::Leading;
    } else if (headerDigits_ == kHeaderDigits && cellsNeeded_ > 0) {
        // Among the layers: it goes with the layer of the next cell.
        const std::int64_t layerCells = std::int64_t{sizes_[0]} * sizes_[2];
        const auto layer = static_cast<std::int32_t>(std::min(cellsFound_, cellsNeeded_) / layerCells);
        layerComments_.push_back({layer, std::string(1, kCommentMark)});
        keptComment_ = KeptComment::Layer;
    }
}

void LevelFileParser::fail(std::optional<FilePlace> place, std::string what) {
    problem_ = LevelFileProblem{place, std::move(what)};
}

std::optional<LevelFileProblem> LevelFileParser::shapeProblemAtEnd() const {
    if (bytes_ == 0) {
        return LevelFileProblem{std::nullopt, "the file is empty"};
    }
    if (headerDigits_ == 0) {
        return LevelFileProblem{std::nullopt, "no level in the file, only blanks and comments"};
    }
    if (headerDigits_ < kHeaderDigits) {
        return LevelFileProblem{here_, "the file ends in the header, after " + std::to_string(headerDigits_) +
                                           " of its nine digits"};
    }
    if (cellsFound_ != cellsNeeded_) {
        const std::string counts = "the level needs " + sizesText(sizes_) + " = " +
                                   std::to_string(cellsNeeded_) + " cells, found " +
                                   std::to_string(cellsFound_);
        if (cellsFound_ < cellsNeeded_) {
            return LevelFileProblem{here_, counts};
        }
        return LevelFileProblem{firstExtraCell_, counts + ": the first one too many is here"};
    }
    return std::nullopt;
}

LevelContentCounts LevelFileParser::contentCounts() const {
    return {playerStartCount_, playerStarts_, exits_, enemies_, firstEnemyTooMany_};
}

LevelFileResult LevelFileParser::finish() {
    CheckedLevelFile checked = finishNamingEveryProblem();
    if (auto* problems = std::get_if<std::vector<LevelFileProblem>>(&checked)) {
        return std::move(problems->front());
    }
    return std::get<LevelFileLevel>(std::move(checked));
}

CheckedLevelFile LevelFileParser::finishNamingEveryProblem() {
    if (!refused_.bytes.empty()) {
        failWithRefusedCharacter();
    }
    if (!problem_) {
        problem_ = shapeProblemAtEnd();
    }
    if (problem_) {
        return std::vector<LevelFileProblem>{*problem_};
    }
    std::vector<LevelFileProblem> problems = levelContentProblems(contentCounts());
    if (!problems.empty()) {
        return problems;
    }
    return LevelFileLevel{std::move(text_), sizes_[0], sizes_[1],
                          sizes_[2],        enemies_,  levelTitle(leadingComments_)};
}

LevelTitle levelTitle(const std::vector<std::string>& leadingComments) {
    const auto line = [&](std::size_t i) {
        if (i >= leadingComments.size()) {
            return std::string();
        }
        std::string_view text = leadingComments[i];
        text.remove_prefix(1);  // the comment mark
        while (!text.empty() && isBlank(text.front())) {
            text.remove_prefix(1);
        }
        while (!text.empty() && isBlank(text.back())) {
            text.remove_suffix(1);
        }
        return std::string(text.substr(0, kMostTitleBytes));
    };
    return {line(0), line(1)};
}

EditableLevelFileResult LevelFileParser::finishForEditing() {
    if (!refused_.bytes.empty()) {
        failWithRefusedCharacter();
    }
    if (!problem_) {
        problem_ = shapeProblemAtEnd();
    }
    if (problem_) {
        return *problem_;
    }
    return EditableLevelFile{LevelFileLevel{std::move(text_), sizes_[0], sizes_[1], sizes_[2], enemies_,
                                            levelTitle(leadingComments_)},
                             std::move(leadingComments_), std::move(layerComments_),
                             levelContentProblems(contentCounts())};
}

std::vector<LevelFileProblem> levelContentProblems(const LevelContentCounts& counts) {
    std::vector<LevelFileProblem> problems;
    if (counts.enemies > kMaxLevelEnemies) {
        problems.push_back({counts.firstEnemyTooMany,
                            "too many enemies: a level may have at most " + std::to_string(kMaxLevelEnemies) +
                                " e, and this one is number " + std::to_string(kMaxLevelEnemies + 1)});
    }
    if (counts.playerStarts == 0) {
        problems.push_back({std::nullopt, "no player start: the level needs one p"});
    } else if (counts.playerStarts > 1 && counts.firstPlayerStarts.size() < 2) {
        problems.push_back({std::nullopt, "more than one player start p: " +
                                              std::to_string(counts.playerStarts) + " of them"});
    } else if (counts.playerStarts > 1) {
        const auto& places = counts.firstPlayerStarts;
        std::string what =
            "more than one player start p: the first is at " + placeText(places[0]) + ", the extra ones at ";
        const std::size_t named = std::min(places.size(), kNamedPlayerStarts);
        for (std::size_t i = 1; i < named; ++i) {
            what += (i > 1 ? ", " : "") + placeText(places[i]);
        }
        const std::int64_t unnamed = counts.playerStarts - static_cast<std::int64_t>(named);
        if (unnamed > 0) {
            what += " and " + std::to_string(unnamed) + " more";
        }
        problems.push_back({places[1], what});
    }
    if (counts.exits == 0) {
        problems.push_back({std::nullopt, "no exit: the level needs at least one E"});
    }
    return problems;
}

LevelFileResult parseLevelFile(std::string_view text) {
    LevelFileParser parser;
    parser.take(text);
    return parser.finish();
}

}  // namespace brickstorm
