// The built game with level files on its command line: the files are checked before the
// terminal is touched, --check reports on each, and good files are played in order through the
// closing screen and back to the title.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/pty_session.h"
#include "support/temp_folder.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

using testing::ProgramRun;
using testing::PtySession;

// Runs the game with `arguments`, standard input at its end and both outputs captured.
ProgramRun runProgram(const std::vector<std::string>& arguments) {
    return testing::runProgram(BRICKSTORM_BINARY, arguments);
}

// Level files in a scratch folder of the test's own, removed with it.
class LevelFilesProgramTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::string& text) const {
        std::string path = folder_.path() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string subfolder(const std::string& name) const {
        std::string path = folder_.path() + "/" + name;
        ::mkdir(path.c_str(), 0700);
        return path;
    }

    const testing::TempFolder folder_{"brickstorm-levels-"};
};

// A floor of two cells, the start near and the exit one step ahead.
constexpr const char* kOneStep = "# One step\n001 002 002\nbb\nE\np\n";

// Not installed, the game built here takes the source tree's pack for --pack, wherever the
// option stands among the level files.
TEST_F(LevelFilesProgramTest, PackStandsForThePacksLevelFilesInOrder) {
    const std::string good = file("good.lvl", kOneStep);
    const ProgramRun run = runProgram({"--check", good, "--pack"});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines;
    for (std::size_t start = 0, end = 0; (end = run.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(run.out.substr(start, end - start));
    }
    // The good file, then the whole campaign in the order of its names.
    ASSERT_EQ(lines.size(), 25U) << run.out;
    EXPECT_TRUE(lines[0].starts_with(good + ":"));
    EXPECT_NE(lines[1].find("/01-first-steps.lvl: "), std::string::npos) << lines[1];
    EXPECT_NE(lines[5].find("/05-the-keep.lvl: "), std::string::npos) << lines[5];
    EXPECT_NE(lines[24].find("/24-the-storm.lvl: "), std::string::npos) << lines[24];
}

TEST_F(LevelFilesProgramTest, CheckSummarisesGoodFilesAndFailsOnBadOnes) {
    const std::string good = file("good.lvl", kOneStep);
    const std::string pack = std::string(BRICKSTORM_LEVELS) + "/05-the-keep.lvl";
    const ProgramRun allGood = runProgram({"--check", good, pack});
    EXPECT_EQ(allGood.status, 0);
    EXPECT_EQ(allGood.out,
              good + ": 1 x 2 x 2 cells, 0 enemies\n" + pack + ": 11 x 6 x 14 cells, 3 enemies\n");
    EXPECT_EQ(allGood.err, "");

    const std::string bad = file("bad.lvl", "001002002\nbb\nX\np\n");
    const ProgramRun mixed = runProgram({"--check", bad, good, folder_.path() + "/none.lvl"});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.out, good + ": 1 x 2 x 2 cells, 0 enemies\n");
    EXPECT_EQ(mixed.err, "brickstorm: " + bad +
                             ":3:1: letter 'X' is not allowed: a cell is one of b, 0, E, p and e\n"
                             "brickstorm: " +
                             folder_.path() + "/none.lvl: no such file\n");
    // Every problem of a file's contents is named, as the editor lists them.
    const std::string twoProblems = file("two.lvl", "003002003\nbbbbbbbbb\n000000000\n");
    const ProgramRun both = runProgram({"--check", twoProblems});
    EXPECT_EQ(both.status, 1);
    EXPECT_EQ(both.err, "brickstorm: " + twoProblems + ": no player start: the level needs one p\n" +
                            "brickstorm: " + twoProblems + ": no exit: the level needs at least one E\n");
}

TEST_F(LevelFilesProgramTest, AFolderStandsForItsLevelFiles) {
    const std::string pack = subfolder("pack");
    std::ofstream(pack + "/b.lvl") << kOneStep;
    std::ofstream(pack + "/a.lvl") << "002 002 002 bbbb E0 pe";
    std::ofstream(pack + "/readme.txt") << "not a level";
    const ProgramRun checked = runProgram({"--check", pack + "/"});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out,
              pack + "/a.lvl: 2 x 2 x 2 cells, 1 enemy\n" + pack + "/b.lvl: 1 x 2 x 2 cells, 0 enemies\n");

    const ProgramRun tooFar = runProgram({"--check", "--level", "3", pack});
    EXPECT_EQ(tooFar.status, 2);
    EXPECT_EQ(tooFar.err,
              "brickstorm: --level 3 is beyond the last level file, level 2 (see 'brickstorm --help')\n");

    const ProgramRun empty = runProgram({"--check", subfolder("empty")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "brickstorm: " + folder_.path() +
                             "/empty: a folder without level files (names ending in .lvl)\n");
}

TEST_F(LevelFilesProgramTest, TheGameStartsAtTheLevelAsked) {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = {"--level", "2", file("one.lvl", kOneStep), file("two.lvl", "002 002 002 bbbb E0 pe")};
    PtySession session(options);
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForOutputContaining("- Press any key to continue -")) << "no title";
    // A key that comes before the title is marked drawn is dropped; it is typed again then.
    bool levelScreen = false;
    for (int attempt = 0; attempt < 3 && !levelScreen; ++attempt) {
        session.send("x");
        levelScreen = session.waitForOutputContaining("LEVEL 2", std::chrono::milliseconds(3000));
    }
    EXPECT_TRUE(levelScreen) << "no level screen of level 2";
    EXPECT_EQ(session.output().find("LEVEL 1"), std::string::npos);
    session.sendSignal(SIGTERM);
    EXPECT_TRUE(session.waitForExit().has_value());
}

TEST_F(LevelFilesProgramTest, BadFilesStopTheGameBeforeTheTerminalIsTouched) {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = {file("good.lvl", kOneStep), file("empty.lvl", ""), subfolder("nothing"), "/dev/zero"};
    PtySession session(options);
    ASSERT_TRUE(session.started());
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 1);
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
    // Standard error is the terminal here: the messages, and nothing else.
    const std::string expected =
        "brickstorm: " + folder_.path() + "/nothing: a folder without level files (names ending in .lvl)\n" +
        "brickstorm: " + folder_.path() + "/empty.lvl: the file is empty\n" +
        "brickstorm: /dev/zero:1:1: the header is nine digits, three for each size x, y "
        "and z: '\\x00' is not a digit\n";
    const auto withoutReturns = [](std::string_view output) {
        std::string text;
        for (char c : output) {
            if (c != '\r') {
                text += c;
            }
        }
        return text;
    };
    EXPECT_TRUE(session.waitForOutput([&](std::string_view output) {
        return withoutReturns(output) == expected;
    })) << withoutReturns(session.output());
}

TEST_F(LevelFilesProgramTest, TwoFilesArePlayedInOrderThenTheClosingScreenLeadsToTheTitle) {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    // The second level differs from the first by an enemy beside the way.
    options.arguments = {file("one.lvl", kOneStep), file("two.lvl", "002 002 002 bbbb E0 pe")};
    PtySession session(options);
    ASSERT_TRUE(session.started());
    // True once `text` has been shown `times` times, the last time in a picture sent in full.
    const auto shows = [&](std::string_view text, std::size_t times, std::chrono::milliseconds timeout) {
        return session.waitForOutput(
            [&](std::string_view output) {
                std::size_t found = 0;
                std::size_t last = 0;
                for (auto at = output.find(text); at != std::string_view::npos;
                     at = output.find(text, at + 1)) {
                    ++found;
                    last = at;
                }
                return found >= times && output.find(kEndUpdate, last) != std::string_view::npos;
            },
            timeout);
    };
    // Types `key` until `text` has been shown `times` times. A text screen drops a key that comes
    // before the game has marked it drawn, a moment after the picture is out; on a busy machine
    // a key typed at once can fall into that moment, and is then typed again.
    const auto pressUntil = [&](const char* key, std::string_view text, std::size_t times) {
        constexpr std::chrono::milliseconds kRetry{3000};
        for (int attempt = 0; attempt < 3; ++attempt) {
            session.send(key);
            if (shows(text, times, kRetry)) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(shows("- Press any key to continue -", 1, PtySession::kPatience)) << "no title";
    ASSERT_TRUE(pressUntil("x", "LEVEL 1", 1)) << "no first level screen";
    session.send("x");  // into the level; should it be dropped, the first step starts the level
    ASSERT_TRUE(pressUntil("w", "LEVEL 2", 1)) << "the first exit did not lead to level 2";
    session.send("x");
    ASSERT_TRUE(pressUntil("w", "THE END", 1)) << "no closing screen after the last exit";
    EXPECT_TRUE(shows("All 2 levels are cleared.", 1, PtySession::kPatience));
    // The title a second time: a line of its own, drawn with the title only.
    ASSERT_TRUE(pressUntil("x", "A Quarry Lantern game", 2)) << "the closing screen did not lead to the title";
    ASSERT_TRUE(pressUntil("x", "LEVEL 1", 2)) << "the game did not start again from level 1";

    session.sendSignal(SIGTERM);
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()));
    EXPECT_TRUE(
        session.waitForOutput([](std::string_view output) { return output.ends_with(kGiveBackScreen); }));
}

}  // namespace
}  // namespace brickstorm::platform
