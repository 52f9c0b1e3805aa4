#include "world/level_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "world/level_table.h"

namespace brickstorm {
namespace {

// The level string of `text`, or a failure naming the problem.
std::string levelTextOf(std::string_view text) {
    const LevelFileResult result = parseLevelFile(text);
    if (const auto* problem = std::get_if<LevelFileProblem>(&result)) {
        ADD_FAILURE() << "refused: " << problem->what;
        return {};
    }
    return std::get<LevelFileLevel>(result).text;
}

// The problem of `text` as "LINE:COLUMN: what" or "what".
std::string problemOf(std::string_view text) {
    const LevelFileResult result = parseLevelFile(text);
    const auto* problem = std::get_if<LevelFileProblem>(&result);
    if (problem == nullptr) {
        return "accepted";
    }
    if (!problem->place) {
        return problem->what;
    }
    return std::to_string(problem->place->line) + ":" + std::to_string(problem->place->column) + ": " +
           problem->what;
}

// A level two cells wide, two high and two deep: a floor, then the player start at the far
// left, an enemy at the near left and the exit at the near right.
constexpr std::string_view kSmallLevel = "002002002bbbbp0eE";

struct FormatCase {
    const char* name;
    std::string_view file;
};

TEST(LevelFileTest, LayoutsGiveTheLevelString) {
    const FormatCase cases[] = {
        {"the level string itself", "002002002bbbbp0eE"},
        {"a line end at the end", "002002002bbbbp0eE\n"},
        {"layer by layer, row by row",
         "002 002 002\n"
         "# the floor\n"
         "bb\n"
         "bb\n"
         "\n"
         "# the room: the far row first\n"
         "p0\n"
         "eE\n"},
        {"CRLF line ends and tabs", "# Small\r\n002002002\r\n\tb b\r\n\tb b\r\n\r\n\tp 0\r\n\te E\r\n"},
        {"comments indented, a '#' line at the very end", "  # title\n002002002\nbbbb\n   # here\np0eE\n#"},
        {"blanks inside the header", "0 0 2\t002 0\r02 bbbb p0eE"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(levelTextOf(c.file), kSmallLevel) << c.name;
    }
}

TEST(LevelFileTest, TheLevelStringGivesTheLevel) {
    const Level level(levelTextOf(kSmallLevel));
    EXPECT_EQ(level.sizeX(), 2);
    EXPECT_EQ(level.sizeY(), 2);
    EXPECT_EQ(level.sizeZ(), 2);
    EXPECT_EQ(level.playerStart, (Vec3{0, 1, 1}));  // the first row of a layer is the far one
    ASSERT_EQ(level.enemyStarts().size(), 1U);
    EXPECT_EQ(level.enemyStarts()[0], (Vec3{0, 1, 0}));
    EXPECT_EQ(level.cellAt(1, 1, 0), kCellExit);
    EXPECT_EQ(level.cellAt(1, 1, 1), kCellEmpty);
    for (const Vec3 floor : {Vec3{0, 0, 0}, Vec3{1, 0, 0}, Vec3{0, 0, 1}, Vec3{1, 0, 1}}) {
        EXPECT_EQ(level.cellAt(static_cast<std::int32_t>(floor.x), 0, static_cast<std::int32_t>(floor.z)),
                  kCellBlock);
    }
}

TEST(LevelFileTest, TheBuiltInLevelReadsAsAFile) {
    const LevelFileResult result = parseLevelFile(levelTable()[0]);
    const auto& level = std::get<LevelFileLevel>(result);
    EXPECT_EQ(level.text, levelTable()[0]);
    EXPECT_EQ(level.sizeX, 15);
    EXPECT_EQ(level.sizeY, 6);
    EXPECT_EQ(level.sizeZ, 15);
    EXPECT_EQ(level.enemies, 2);
}

TEST(LevelFileTest, SizesOfOneAndTheLargestLevel) {
    EXPECT_EQ(levelTextOf("001002001Ep"), "001002001Ep");
    // Levels of 256 x 64 x 256 cells are promised to players, whatever the limit grows to.
    std::string promised = "256064256pE";
    promised.append(std::size_t{256} * 64 * 256 - 2, '0');
    EXPECT_EQ(levelTextOf(promised).size(), promised.size());
    // And the largest the limit allows, 256 cells wide and deep.
    const std::string height = std::to_string(kMaxLevelCells / (std::int64_t{256} * 256));
    std::string largest = "256" + std::string(3 - height.size(), '0') + height + "256pE";
    largest.append(static_cast<std::size_t>(kMaxLevelCells) - 2, '0');
    EXPECT_EQ(levelTextOf(largest).size(), largest.size());
}

struct ProblemCase {
    std::string_view file;
    const char* problem;
};

TEST(LevelFileTest, BrokenFilesSayWhatAndWhere) {
    const ProblemCase cases[] = {
        {"", "the file is empty"},
        {"# only a title\n\n   \n", "no level in the file, only blanks and comments"},
        {"015 006 0x5", "1:10: the header is nine digits, three for each size x, y and z: 'x' is not a digit"},
        {"# title\n 01b",
         "2:4: the header is nine digits, three for each size x, y and z: 'b' is not a digit"},
        // Saved with a byte-order mark, which shows as nothing: named instead.
        {"\xEF\xBB\xBF"
         "002002002\nbbbb",
         "1:1: the header is nine digits, three for each size x, y and z: a byte-order mark (U+FEFF) is not a "
         "digit"},
        {"002002", "1:7: the file ends in the header, after 6 of its nine digits"},
        {"002\n002\n00\n", "4:1: the file ends in the header, after 8 of its nine digits"},
        {"002 000 002 bbbb", "1:5: size y is 0: every size must be at least 1"},
        {"000002002", "1:1: size x is 0: every size must be at least 1"},
        {"002002002\nbbbb\np0x", "3:3: letter 'x' is not allowed: a cell is one of b, 0, E, p and e"},
        {"002002002\nbbbB", "2:4: letter 'B' is not allowed: a cell is one of b, 0, E, p and e"},
        {"002002002\nbb # not a comment", "2:4: letter '#' is not allowed: a cell is one of b, 0, E, p and e"},
        {"002002002\nbb\x1b[2J", "2:3: letter '\\x1b' is not allowed: a cell is one of b, 0, E, p and e"},
        {"002002002\nbb\xc3\xa9", "2:3: letter '\xc3\xa9' is not allowed: a cell is one of b, 0, E, p and e"},
        {"002002002\nbb\xc3", "2:3: letter '\\xc3' is not allowed: a cell is one of b, 0, E, p and e"},
        {std::string_view("002002002\nb\0", 12),
         "2:2: letter '\\x00' is not allowed: a cell is one of b, 0, E, p and e"},
        {"002002002\nbbbb\np0\n0\n", "5:1: the level needs 2 x 2 x 2 = 8 cells, found 7"},
        {"002002002\nbbbb\np0\n0eE0\nbb",
         "4:3: the level needs 2 x 2 x 2 = 8 cells, found 12: the first one too many is here"},
        {"002002002\nbbbb\n000E", "no player start: the level needs one p"},
        {"002002002\nbbbb\np0pE",
         "3:3: more than one player start p: the first is at 3:1, the extra ones at 3:3"},
        {"003003001\npp0\nppp\npEp",
         "2:2: more than one player start p: the first is at 2:1, the extra ones at 2:2, 3:1, 3:2, 3:3, 4:1 "
         "and 1 more"},
        {"002002002\nbbbb\np00e", "no exit: the level needs at least one E"},
    };
    for (const ProblemCase& c : cases) {
        EXPECT_EQ(problemOf(c.file), c.problem) << "file: " << c.file;
    }
}

TEST(LevelFileTest, ATooLargeLevelIsRefusedAtItsHeader) {
    EXPECT_EQ(problemOf("# big\n  999 999 999 b"),
              "2:3: the level is 999 x 999 x 999 = 997002999 cells, more than the largest allowed, " +
                  std::to_string(kMaxLevelCells) + " cells");
}

TEST(LevelFileTest, EnemiesHaveALimit) {
    // A floor, then a layer of the player's start, the exit and as many enemies as it holds.
    const auto file = [](std::int64_t enemies) {
        std::string text = "# many\n100 002 011\n" + std::string(1100, 'b') + "\npE";
        text += std::string(static_cast<std::size_t>(enemies), 'e');
        return text + std::string(static_cast<std::size_t>(1098 - enemies), '0');
    };
    EXPECT_EQ(std::get<LevelFileLevel>(parseLevelFile(file(kMaxLevelEnemies))).enemies, kMaxLevelEnemies);
    EXPECT_EQ(problemOf(file(kMaxLevelEnemies + 1)),
              "4:" + std::to_string(kMaxLevelEnemies + 3) + ": too many enemies: a level may have at most " +
                  std::to_string(kMaxLevelEnemies) + " e, and this one is number " +
                  std::to_string(kMaxLevelEnemies + 1));
}

TEST(LevelFileTest, ReadingStopsAtTheFirstProblem) {
    LevelFileParser parser;
    EXPECT_TRUE(parser.take("002002002\nbb"));
    EXPECT_FALSE(parser.take("b?"));
    EXPECT_FALSE(parser.take("bbbbbbbb"));
    const LevelFileResult result = parser.finish();
    EXPECT_EQ(std::get<LevelFileProblem>(result).place, (FilePlace{2, 4}));
}

TEST(LevelFileTest, PiecesMayBreakAnywhere) {
    const std::string_view file = "# t\r\n002 002 002\r\nbbbb\r\np0\r\n0E\r\n";
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        LevelFileParser parser;
        parser.take(file.substr(0, cut));
        parser.take(file.substr(cut));
        const LevelFileResult result = parser.finish();
        ASSERT_TRUE(std::holds_alternative<LevelFileLevel>(result)) << "cut at " << cut;
        EXPECT_EQ(std::get<LevelFileLevel>(result).text, "002002002bbbbp00E");
    }
}

// The opening comment names the level and gives its hint; later comments, and comments after
// the sizes, are the maker's own.
TEST(LevelFileTest, TheOpeningCommentGivesTheTitle) {
    struct Case {
        std::string_view file;
        LevelTitle title;
    };
    const std::string longHint = "# " + std::string(300, 'h') + "\n";
    const Case cases[] = {
        {"# The walk\n#  Step, step, exit.  \r\n# a third line\n002 002 002 bbbb p0 0E",
         {"The walk", "Step, step, exit."}},
        {"  #The walk\n\n\t#\tStep.\n002 002 002 bbbb p0 0E", {"The walk", "Step."}},
        {"# Only a name\n002 002 002 bbbb p0 0E", {"Only a name", ""}},
        {"002 002 002\n# after the sizes\n# not a title\nbbbb p0 0E", {}},
        {"#\n# \x1b[2J\n002 002 002 bbbb p0 0E", {"", "\x1b[2J"}},  // shown escaped, as any text from a file
    };
    for (const Case& c : cases) {
        for (std::size_t cut = 0; cut <= c.file.size(); ++cut) {
            LevelFileParser parser;
            parser.take(c.file.substr(0, cut));
            parser.take(c.file.substr(cut));
            const LevelFileResult result = parser.finish();
            ASSERT_TRUE(std::holds_alternative<LevelFileLevel>(result)) << c.file;
            EXPECT_EQ(std::get<LevelFileLevel>(result).title, c.title) << c.file << " cut at " << cut;
        }
    }
    const LevelFileResult result = parseLevelFile("# Long\n" + longHint + "002 002 002 bbbb p0 0E");
    ASSERT_TRUE(std::holds_alternative<LevelFileLevel>(result));
    EXPECT_EQ(std::get<LevelFileLevel>(result).title.hint, std::string(kMostTitleBytes, 'h'));
}

TEST(LevelFileTest, AMessageDoesNotDependOnWhereTheFileWasCut) {
    const std::string_view files[] = {
        "002002002\nbb\xe2\x82\xac"
        "b",
        "00\xf0\x9f\x98\x80", "002002002\nbb\xe2\x82"};
    for (const std::string_view file : files) {
        const LevelFileResult whole = parseLevelFile(file);
        for (std::size_t cut = 0; cut <= file.size(); ++cut) {
            LevelFileParser parser;
            if (parser.take(file.substr(0, cut))) {
                parser.take(file.substr(cut));
            }
            EXPECT_EQ(parser.finish(), whole) << "cut at " << cut;
        }
    }
    EXPECT_EQ(problemOf(files[0]),
              "2:3: letter '\xe2\x82\xac' is not allowed: a cell is one of b, 0, E, p and e");
    EXPECT_EQ(problemOf(files[2]), "2:3: letter '\\xe2' is not allowed: a cell is one of b, 0, E, p and e");
}

// A level padded with blanks to `size` bytes, taken piece by piece; whether the parser took it.
bool takesPaddedTo(std::int64_t size) {
    LevelFileParser parser;
    parser.take(kSmallLevel);
    const std::string blanks(std::size_t{1} << 16, ' ');
    for (auto left = size - static_cast<std::int64_t>(kSmallLevel.size()); left > 0;) {
        const auto piece = std::min(left, static_cast<std::int64_t>(blanks.size()));
        parser.take(std::string_view(blanks).substr(0, static_cast<std::size_t>(piece)));
        left -= piece;
    }
    return std::holds_alternative<LevelFileLevel>(parser.finish());
}

TEST(LevelFileTest, AFileOfExactlyTheByteLimitIsAcceptedAndOneByteMoreIsNot) {
    EXPECT_TRUE(takesPaddedTo(kMaxLevelFileBytes));
    EXPECT_FALSE(takesPaddedTo(kMaxLevelFileBytes + 1));
}

TEST(LevelFileTest, AnEndlessFileIsRefusedAtTheByteLimit) {
    LevelFileParser parser;
    const std::string blanks(std::size_t{1} << 16, ' ');
    std::int64_t taken = 0;
    while (parser.take(blanks)) {
        taken += static_cast<std::int64_t>(blanks.size());
        ASSERT_LE(taken, kMaxLevelFileBytes);
    }
    EXPECT_EQ(std::get<LevelFileProblem>(parser.finish()).what, "the file is larger than " +
                                                                    std::to_string(kMaxLevelFileBytes) +
                                                                    " bytes, the most a level file may hold");
}

}  // namespace
}  // namespace brickstorm
