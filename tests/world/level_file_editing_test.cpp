// Level files read for editing: the problems of a level's contents are kept beside its cells in
// the loader's own words, a problem of its shape refuses it as for play, and the comment lines
// before its sizes come along.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "world/level_file.h"

namespace brickstorm {
namespace {

EditableLevelFileResult readForEditing(std::string_view text) {
    LevelFileParser parser(LevelFileUse::Edit);
    parser.take(text);
    return parser.finishForEditing();
}

// The problems as "LINE:COLUMN: what" or "what".
std::vector<std::string> shown(const std::vector<LevelFileProblem>& problems) {
    std::vector<std::string> lines;
    for (const LevelFileProblem& problem : problems) {
        std::string line;
        if (problem.place) {
            line = std::to_string(problem.place->line) + ":" + std::to_string(problem.place->column) + ": ";
        }
        lines.push_back(line + problem.what);
    }
    return lines;
}

// Two rows of 600 cells: 1001 enemies, the last one at the start of the second row's 401st
// cell, then the start, and no exit.
std::string tooManyEnemies() {
    return "600 001 002\n" + std::string(600, 'e') + "\n" + std::string(401, 'e') + "p" +
           std::string(198, '0') + "\n";
}

TEST(LevelFileEditingTest, ContentProblemsKeepTheCellsAndTheLoadersWords) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> problems;
    };
    const std::vector<Case> cases = {
        {"sound", "002 001 001\npE\n", {}},
        {"no start", "002 001 001\n0E\n", {"no player start: the level needs one p"}},
        {"no exit", "002 001 001\np0\n", {"no exit: the level needs at least one E"}},
        {"no start and no exit",
         "002 001 001\n00\n",
         {"no player start: the level needs one p", "no exit: the level needs at least one E"}},
        {"three starts",
         "004 001 002\nppE0\n0p00\n",
         {"2:2: more than one player start p: the first is at 2:1, the extra ones at 2:2, 3:2"}},
        {"too many enemies, no exit",
         tooManyEnemies(),
         {"3:401: too many enemies: a level may have at most 1000 e, and this one is number 1001",
          "no exit: the level needs at least one E"}},
    };
    for (const Case& c : cases) {
        const EditableLevelFileResult result = readForEditing(c.file);
        const auto* level = std::get_if<EditableLevelFile>(&result);
        ASSERT_NE(level, nullptr) << c.name;
        EXPECT_EQ(shown(level->contentProblems), c.problems) << c.name;
        // The cells are all there, as written, whatever the problems.
        EXPECT_EQ(level->level.text.size(), 9U + static_cast<std::size_t>(level->level.sizeX) *
                                                     static_cast<std::size_t>(level->level.sizeY) *
                                                     static_cast<std::size_t>(level->level.sizeZ))
            << c.name;
        // For play the same file is refused with the first of them.
        const LevelFileResult forPlay = parseLevelFile(c.file);
        if (c.problems.empty()) {
            EXPECT_TRUE(std::holds_alternative<LevelFileLevel>(forPlay)) << c.name;
        } else {
            ASSERT_TRUE(std::holds_alternative<LevelFileProblem>(forPlay)) << c.name;
            EXPECT_EQ(shown({std::get<LevelFileProblem>(forPlay)}).front(), c.problems.front()) << c.name;
        }
    }
}

TEST(LevelFileEditingTest, TheLetterOrderOfTheFileIsKept) {
    const EditableLevelFileResult result = readForEditing("002 002 001\n# floor\nbb\n# room\npe\n");
    ASSERT_TRUE(std::holds_alternative<EditableLevelFile>(result));
    EXPECT_EQ(std::get<EditableLevelFile>(result).level.text, "002002001bbpe");
}

TEST(LevelFileEditingTest, ShapeProblemsRefuseAsForPlay) {
    const std::string_view files[] = {
        "",
        "# only a comment\n",
        "002 001",
        "002 001 001\npx\n",
        "002 001 001\np\n",
        "002 001 001\npEE\n",
        "000 001 001\n",
        "999 999 999\n",
    };
    for (const std::string_view file : files) {
        const EditableLevelFileResult result = readForEditing(file);
        ASSERT_TRUE(std::holds_alternative<LevelFileProblem>(result)) << file;
        EXPECT_EQ(std::get<LevelFileProblem>(result), std::get<LevelFileProblem>(parseLevelFile(file)))
            << file;
    }
}

TEST(LevelFileEditingTest, TheCommentLinesBeforeTheSizesComeAlong) {
    const EditableLevelFileResult result =
        readForEditing("# The yard\r\n\n   # hint: climb  \n#\n002\n# between\n001 001\n# layer 0\npE\n");
    ASSERT_TRUE(std::holds_alternative<EditableLevelFile>(result));
    EXPECT_EQ(std::get<EditableLevelFile>(result).leadingComments,
              (std::vector<std::string>{"# The yard", "# hint: climb  ", "#"}));
}

}  // namespace
}  // namespace brickstorm
