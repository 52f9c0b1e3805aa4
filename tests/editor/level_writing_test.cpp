// The level file the editor writes: its readable layout exactly, the level it loads back as, and
// problems named at the places the loader names them in it.
#include "editor/level_writing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/level_for_editing.h"
#include "world/level_file.h"

namespace brickstorm::editor {
namespace {

using testing::levelForEditing;

TEST(LevelWritingTest, TheReadableLayout) {
    const auto level =
        *EditedLevel::fromLevelString("003002002bbEbb0p0eE0b", {"# Two rooms", "#  and a hint"});
    EXPECT_EQ(levelFileText(level),
              "# Two rooms\n"
              "#  and a hint\n"
              "003 002 002\n"
              "\n"
              "# layer 0\n"
              "bbE\n"
              "bb0\n"
              "\n"
              "# layer 1\n"
              "p0e\n"
              "E0b\n");
}

// A maker's comments among the layers are written back as they were, each before its layer's rows
// in place of the plain "# layer N"; the program's own "# layer N" lines are written anew.
TEST(LevelWritingTest, CommentsAmongTheLayersAreKept) {
    const std::string file =
        "# Two rooms\n"
        "003 003 002\n"
        "\n"
        "# layer 0\n"
        "bbE\n"
        "bb0\n"
        "\n"
        "# Layer 1: the start, the guards, and the stairs\n"
        "#   (two of them)\n"
        "p0e\n"
        "# the near row\r\n"
        "E0b\n"
        "\n"
        "# layer 7\n"
        "000\n"
        "000\n"
        "# The end.\n";
    const EditedLevel level = levelForEditing(file);
    EXPECT_EQ(level.layerComments(0), std::vector<std::string>{});
    EXPECT_EQ(levelFileText(level),
              "# Two rooms\n"
              "003 003 002\n"
              "\n"
              "# layer 0\n"
              "bbE\n"
              "bb0\n"
              "\n"
              "# Layer 1: the start, the guards, and the stairs\n"
              "#   (two of them)\n"
              "# the near row\n"
              "p0e\n"
              "E0b\n"
              "\n"
              "# layer 2\n"
              "000\n"
              "000\n"
              "\n"
              "# The end.\n");
    // Written, it reads back as the same level, comments and all.
    EXPECT_EQ(levelForEditing(levelFileText(level)), level);
    EXPECT_EQ(levelFileText(levelForEditing(levelFileText(level))), levelFileText(level));
}

TEST(LevelWritingTest, TheWrittenFileLoadsAsTheSameLevel) {
    const auto levels = {
        *EditedLevel::fromLevelString("003002002bbEbb0p0eE0b", {"# Two rooms", "#"}),
        EditedLevel::newLevel({100, 3, 2}),
        EditedLevel::newLevel({1, 1, 1}),
    };
    for (const EditedLevel& level : levels) {
        EXPECT_EQ(levelForEditing(levelFileText(level)), level);
    }
}

TEST(LevelWritingTest, ProblemsAreNamedWhereTheLoaderFindsThemInTheWrittenFile) {
    // Three starts, no exit and too many enemies, spread over layers and rows.
    auto level = EditedLevel::newLevel({40, 3, 30});
    level.setLetter({20, 1, 0}, 'b');
    level.setLetter({3, 2, 7}, 'p');
    level.setLetter({39, 0, 29}, 'p');
    level.setLetter({20, 1, 29}, '0');
    level.fillBox({{0, 1, 1}, {39, 1, 25}}, 'e');
    level.setLetter({5, 2, 2}, 'e');
    ASSERT_EQ(level.exits(), 0);
    ASSERT_GT(level.enemies(), kMaxLevelEnemies);

    const std::vector<LevelFileProblem> problems = levelProblems(level);
    ASSERT_EQ(problems.size(), 3U);
    // For play the loader stops at the first; the rest it would find in turn as each is mended.
    const std::string text = levelFileText(level);
    EXPECT_EQ(std::get<LevelFileProblem>(parseLevelFile(text)), problems[0]);
    LevelFileParser parser(LevelFileUse::Edit);
    parser.take(text);
    EXPECT_EQ(std::get<EditableLevelFile>(parser.finishForEditing()).contentProblems, problems);
    EXPECT_EQ(problems[1].what.substr(0, 28), "more than one player start p");
    EXPECT_EQ(problems[2].what, "no exit: the level needs at least one E");
}

TEST(LevelWritingTest, ProblemsAreNamedAtTheirLinesAfterALayersComments) {
    const EditedLevel level = levelForEditing(
        "002 002 001\n"
        "\n"
        "# Layer 0: the floor\n"
        "# of two blocks\n"
        "bb\n"
        "\n"
        "# layer 1\n"
        "pp\n");
    const std::vector<LevelFileProblem> problems = levelProblems(level);
    LevelFileParser parser(LevelFileUse::Edit);
    parser.take(levelFileText(level));
    EXPECT_EQ(std::get<EditableLevelFile>(parser.finishForEditing()).contentProblems, problems);
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems[0].what.find("first is at 8:1"), std::string::npos) << problems[0].what;
}

TEST(LevelWritingTest, ASoundLevelHasNoProblems) {
    EXPECT_TRUE(levelProblems(EditedLevel::newLevel({16, 8, 16})).empty());
}

}  // namespace
}  // namespace brickstorm::editor
