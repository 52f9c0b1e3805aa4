// The recording of a run through the whole level pack that is kept in tests/data, and the routes
// it was made by. The program checks it in tests/platform/posix/recordings_program_test.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/level_files.h"
#include "app/recording_files.h"
#include "recording/recording_reader.h"
#include "recording/replay_check.h"
#include "support/recorded_run.h"
#include "support/route_player.h"

namespace brickstorm {
namespace {

using testing::RecordedRun;
using testing::RoutePlayer;

struct PackLevel {
    const char* file;
    const char* route;
};

// The pack in the order its names sort in, each with a route that finishes it.
constexpr PackLevel kPack[] = {
    {"01-first-steps.lvl", "ww ww w"},        {"02-the-narrow-way.lvl", "wwwwwd!wwwwawwwwww"},
    {"03-the-stairs.lvl", "!!wwwww    ww"},   {"04-the-yard.lvl", "!!wwwww  !wwww"},
    {"05-the-keep.lvl", "a!dww   !!w<www>w"},
};

const std::string kKeptRecording = std::string(BRICKSTORM_TEST_DATA) + "/pack.rec";

// The run: the title, then each level from its level screen by its route, then the closing
// screen, recorded with the pack's files named as from the source tree's top.
std::string playThePack() {
    std::vector<std::string> paths;
    std::vector<std::string> names;
    for (const PackLevel& level : kPack) {
        paths.push_back(std::string(BRICKSTORM_LEVELS) + "/" + level.file);
        names.push_back(std::string("levels/") + level.file);
    }
    const app::LevelFilesReport levels = app::readLevelFiles(paths, true);
    EXPECT_TRUE(levels.allGood);
    RecordingHeader header = app::recordingHeader(names, levels, 1);
    header.program = "1.0";
    RecordedRun play(header);
    play.state.levels = GameLevels(levels.levelTexts);
    RoutePlayer player(play);
    play.tick();
    for (const PackLevel& level : kPack) {
        player.leaveTextScreen();  // the title, or the game-over screen
        player.leaveTextScreen();  // the level screen
        EXPECT_TRUE(player.follow(level.route)) << level.file;
    }
    EXPECT_EQ(play.state.screen, kScreenClosing);
    play.tick(20);
    play.render();
    return play.text();
}

std::string kept() {
    std::ifstream file(kKeptRecording, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The routes still play as the kept recording says. BRICKSTORM_WRITE_RECORDINGS=1 writes it
// anew, for a change of the rules or the pack that changes the run on purpose.
TEST(PackRecordingTest, TheKeptRecordingIsTheRoutesPlayed) {
    const std::string run = playThePack();
    if (std::getenv("BRICKSTORM_WRITE_RECORDINGS") != nullptr) {
        std::ofstream(kKeptRecording, std::ios::binary) << run;
    }
    EXPECT_EQ(kept(), run);
}

// What a person would look for in it: every level cleared at the first attempt.
TEST(PackRecordingTest, TheKeptRecordingClearsEveryLevel) {
    RecordingReadResult read = readRecording(kept());
    ASSERT_TRUE(std::holds_alternative<Recording>(read));
    const Recording& recording = std::get<Recording>(read);
    GameState state;
    std::vector<std::string> texts;
    for (const PackLevel& level : kPack) {
        std::ifstream file(std::string(BRICKSTORM_LEVELS) + "/" + level.file, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        texts.push_back(std::get<LevelFileLevel>(parseLevelFile(text.str())).text);
    }
    state.levels = GameLevels(texts);
    const ReplayCheck check = checkReplay(recording, state);
    EXPECT_EQ(check.outOfStepTick, std::nullopt);
    for (int level = 1; level <= 5; ++level) {
        EXPECT_NE(check.report.find("level " + std::to_string(level) + ": cleared after "), std::string::npos)
            << check.report;
    }
    EXPECT_NE(check.report.find("in all: 5 levels cleared, 0 deaths, "), std::string::npos) << check.report;
}

}  // namespace
}  // namespace brickstorm
