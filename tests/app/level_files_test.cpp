#include "app/level_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_files.h"
#include "world/level_table.h"

namespace brickstorm::app {
namespace {

using platform::FilePieceReader;

using testing::FakeFiles;

class LevelFilesTest : public ::testing::Test {
protected:
    LevelFilesReport read(const std::vector<std::string>& names, bool keep = true,
                          std::int64_t cellsInAll = kMaxCellsInAllLevels) {
        return readLevelFiles(
            names, keep,
            [this](const std::string& path, const FilePieceReader& take) { return files(path, take); },
            cellsInAll);
    }

    // The report's lines, joined.
    static std::string linesOf(const LevelFilesReport& report) {
        std::string all;
        for (const ReportLine& line : report.lines) {
            all += (line.problem ? "E " : "O ") + line.text;
        }
        return all;
    }

    FakeFiles files;
};

TEST_F(LevelFilesTest, GoodFilesGiveTheirLevelsInOrderAndASummaryEach) {
    files.texts["one.lvl"] = "# One\n001 002 002\nbb\nE\np\n";
    files.texts["two.lvl"] = "002002002 bbbb pe eE";
    const LevelFilesReport report = read({"two.lvl", "one.lvl"});
    EXPECT_TRUE(report.allGood);
    EXPECT_EQ(report.levelTexts, (std::vector<std::string>{"002002002bbbbpeeE", "001002002bbEp"}));
    EXPECT_EQ(linesOf(report),
              "O two.lvl: 2 x 2 x 2 cells, 2 enemies\nO one.lvl: 1 x 2 x 2 cells, 0 enemies\n");
    EXPECT_TRUE(read({"one.lvl"}, false).levelTexts.empty());
}

TEST_F(LevelFilesTest, EveryBrokenFileGetsOneMessageInTheFilesOrder) {
    files.texts["good.lvl"] = "001002002bbEp";
    files.texts["empty.lvl"] = "";
    files.texts["letter.lvl"] = "001002002\nbb\nEq\n";
    files.texts["odd\x1b]0;name\a.lvl"] = "001002002bbEp";
    files.texts["noexit.lvl"] = "001002002bb0p";
    files.texts["bad\x1b.lvl"] = "x";
    const LevelFilesReport report = read({"good.lvl", "missing.lvl", "dir", "locked", "empty.lvl",
                                          "letter.lvl", "odd\x1b]0;name\a.lvl", "noexit.lvl", "bad\x1b.lvl"});
    EXPECT_FALSE(report.allGood);
    EXPECT_EQ(
        linesOf(report),
        "O good.lvl: 1 x 2 x 2 cells, 0 enemies\n"
        "E brickstorm: missing.lvl: no such file\n"
        "E brickstorm: dir: a directory, not a level file\n"
        "E brickstorm: locked: cannot be read: Permission denied\\x1b[0m\n"
        "E brickstorm: empty.lvl: the file is empty\n"
        "E brickstorm: letter.lvl:3:2: letter 'q' is not allowed: a cell is one of b, 0, E, p and e\n"
        "O odd\\x1b]0;name\\x07.lvl: 1 x 2 x 2 cells, 0 enemies\n"
        "E brickstorm: noexit.lvl: no exit: the level needs at least one E\n"
        "E brickstorm: bad\\x1b.lvl:1:1: the header is nine digits, three for each size x, y and z: 'x' is "
        "not a digit\n");
}

// A check names every problem of a file's contents, as the editor lists them; a problem of its
// shape leaves no level whose contents could be judged, so it is told alone.
TEST_F(LevelFilesTest, EveryProblemOfAFilesContentsIsNamed) {
    const struct {
        std::string text;
        std::string lines;
    } cases[] = {
        {"003002003\nbbbbbbbbb\n000000000\n",
         "E brickstorm: f.lvl: no player start: the level needs one p\n"
         "brickstorm: f.lvl: no exit: the level needs at least one E\n"},
        {"001002002\npp00\n",
         "E brickstorm: f.lvl:2:2: more than one player start p: the first is at 2:1, the extra ones at 2:2\n"
         "brickstorm: f.lvl: no exit: the level needs at least one E\n"},
        {"001002002\nE000\n", "E brickstorm: f.lvl: no player start: the level needs one p\n"},
        {"001002002\nb0\n", "E brickstorm: f.lvl:3:1: the level needs 1 x 2 x 2 = 4 cells, found 2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        files.texts["f.lvl"] = c.text;  // the lines of one file follow its one mark
        const LevelFilesReport report = read({"f.lvl"});
        EXPECT_FALSE(report.allGood);
        EXPECT_EQ(linesOf(report), c.lines);
    }
}

TEST_F(LevelFilesTest, ReadingStopsAtTheFirstProblemOfAFile) {
    files.texts["stop.lvl"] = "001002002 bb ? and much more that is never looked at";
    EXPECT_FALSE(read({"stop.lvl"}).allGood);
    EXPECT_EQ(files.opened, std::vector<std::string>{"stop.lvl"});
}

TEST_F(LevelFilesTest, TheLevelsTogetherHaveALimit) {
    files.texts["eight.lvl"] = "002002002bbbbp0eE";
    const LevelFilesReport report = read({"eight.lvl", "eight.lvl", "eight.lvl"}, true, 16);
    EXPECT_FALSE(report.allGood);
    EXPECT_EQ(linesOf(report),
              "O eight.lvl: 2 x 2 x 2 cells, 1 enemy\n"
              "O eight.lvl: 2 x 2 x 2 cells, 1 enemy\n"
              "E brickstorm: eight.lvl: with this file the levels hold more than 16 cells "
              "together, the most the game keeps\n");
    // Enough for the largest levels several times over.
    EXPECT_GE(kMaxCellsInAllLevels, 16 * std::int64_t{256} * 64 * 256);
}

}  // namespace
}  // namespace brickstorm::app
