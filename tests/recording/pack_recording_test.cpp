// The recording of a run through the first level pack of five levels that is kept in tests/data
// (with a copy of those levels in tests/data/pack), and the routes it was made by. It is of the
// first format of recordings, which named levels by their bytes: it shows that such recordings
// still read and replay. The program checks it in tests/platform/posix/recordings_program_test.cpp.
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
const std::string kKeptPack = std::string(BRICKSTORM_TEST_DATA) + "/pack";

// The run: the title, then each level from its level screen by its route, then the closing
// screen, recorded with the pack's files named as from the source tree's top.
std::string playThePack() {
    std::vector<std::string> paths;
    std::vector<std::string> names;
    for (const PackLevel& level : kPack) {
        paths.push_back(kKeptPack + "/" + level.file);
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

Recording readWhole(const std::string& text) {
    RecordingReadResult read = readRecording(text);
    EXPECT_TRUE(std::holds_alternative<Recording>(read));
    return std::holds_alternative<Recording>(read) ? std::get<Recording>(std::move(read)) : Recording{};
}

// The routes still play as the kept recording says: the same keys at the same ticks, the same
// states, the same end, though this program writes the newer format. BRICKSTORM_WRITE_RECORDINGS=1
// writes it anew, for a change of the rules that changes the run on purpose.
TEST(PackRecordingTest, TheKeptRecordingIsTheRoutesPlayed) {
    const std::string run = playThePack();
    if (std::getenv("BRICKSTORM_WRITE_RECORDINGS") != nullptr) {
        std::ofstream(kKeptRecording, std::ios::binary) << run;
    }
    const Recording played = readWhole(run);
    const Recording keptRun = readWhole(kept());
    EXPECT_EQ(keptRun.events, played.events);
    EXPECT_EQ(keptRun.end, played.end);
    ASSERT_EQ(keptRun.header.levels.size(), played.header.levels.size());
    for (std::size_t i = 0; i < played.header.levels.size(); ++i) {
        EXPECT_EQ(keptRun.header.levels[i].name, played.header.levels[i].name);
    }
}

// What a person would look for in it: every level cleared at the first attempt.
TEST(PackRecordingTest, TheKeptRecordingClearsEveryLevel) {
    RecordingReadResult read = readRecording(kept());
    ASSERT_TRUE(std::holds_alternative<Recording>(read));
    const Recording& recording = std::get<Recording>(read);
    GameState state;
    std::vector<std::string> texts;
    for (const PackLevel& level : kPack) {
        std::ifstream file(kKeptPack + "/" + level.file, std::ios::binary);
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
