#include "recording/replay.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "core/key_handler.h"
#include "recording/attempts.h"
#include "recording/recording_reader.h"
#include "recording/replay_check.h"
#include "support/recorded_run.h"

namespace brickstorm {
namespace {

using testing::HashLog;
using testing::RecordedRun;

Recording read(const std::string& text) {
    RecordingReadResult result = readRecording(text);
    if (const auto* problem = std::get_if<RecordingProblem>(&result)) {
        ADD_FAILURE() << problem->line.value_or(0) << ": " << problem->what << "\n" << text;
        return {};
    }
    return std::get<Recording>(std::move(result));
}

// A fresh game replaying a recording, the state's hash kept after every tick.
struct ReplayedRun {
    explicit ReplayedRun(const Recording& recording) : replay(recording, run) { run.watch(hashes); }

    GameState state;
    GameRun run{state};
    HashLog hashes;
    Replay replay;
};

// A run of the built-in level 1 with a bit of everything: keys dropped on text screens not yet
// drawn, an arrow key that starts the level and strafes at once, steps, turns, a climb, a shot
// that kills an enemy, a death by falling, and the retry.
class RecordedPlayTest : public ::testing::Test {
protected:
    RecordedPlayTest() {
        play.tick(3);
        EXPECT_FALSE(play.press('x'));  // the title is not drawn yet
        play.render();
        play.tick(5);
        EXPECT_TRUE(play.press('x'));
        EXPECT_FALSE(play.press('x'));  // the level screen is not drawn yet
        play.tick(7);
        play.render();
        // The arrow's prefix starts the level; its code, handled at once, strafes right.
        EXPECT_TRUE(play.press(kNavigationKeyPrefix));
        EXPECT_TRUE(play.press(kRightArrowCode));
        play.tick(25);
        play.act('a');
        play.act('w');
        play.act('d');
        play.act('d');
        play.press('r');  // an enemy ahead on the right
        play.tick(4);
        play.act('a');
        play.act('s');
        play.act('s');
        play.act(kKeyStrafeLeft);
        for (int step = 0; step < 12 && play.state.screen == kScreenGame; ++step) {
            play.act(kKeyStrafeLeft);  // off the floor's edge
        }
        play.tick(30);
        play.render();
        play.tick(3);
        EXPECT_TRUE(play.press('x'));
        play.render();
        EXPECT_TRUE(play.press('x'));  // the level again
        play.act('w');
        play.tick(17);
    }

    RecordedRun play;
};

TEST_F(RecordedPlayTest, TheRunHadWhatItShould) {
    const std::string text = play.text();
    EXPECT_NE(text.find("key 15 224 77  # Right\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("key 3 "), std::string::npos) << "a dropped key is not recorded";
    EXPECT_NE(text.find("state 20 "), std::string::npos);
    EXPECT_TRUE(text.ends_with("end " + std::to_string(play.run.ticks()) + "\n"));
}

TEST_F(RecordedPlayTest, ACheckTakesTheSamePathTickForTick) {
    const Recording recording = read(play.text());
    ReplayedRun replayed(recording);
    EXPECT_EQ(replayed.replay.runToEnd(), Replay::Step::Finished);
    EXPECT_EQ(replayed.run.ticks(), play.run.ticks());
    EXPECT_EQ(replayed.hashes.hashes, play.hashes.hashes);
}

TEST_F(RecordedPlayTest, ACheckReportsEachAttempt) {
    const Recording recording = read(play.text());
    GameState state;
    const ReplayCheck check = checkReplay(recording, state);
    EXPECT_EQ(check.outOfStepTick, std::nullopt);
    const std::string ticks = std::to_string(play.run.ticks());
    EXPECT_TRUE(check.report.starts_with("level 1: fell after ")) << check.report;
    EXPECT_NE(check.report.find("\nlevel 1: left after 37 ticks\nin all: 0 levels cleared, 1 death, " + ticks +
                                " ticks ("),
              std::string::npos)
        << check.report;
}

TEST_F(RecordedPlayTest, AReplayWithARenderThreadWaitsForEachTextScreen) {
    const Recording recording = read(play.text());
    ReplayedRun replayed(recording);
    Replay& replay = replayed.replay;
    std::mutex lock;
    testing::NullConsole console;
    int waits = 0;
    // The render thread here draws only when the replay has to wait for it, the latest it can.
    for (Replay::Step step = Replay::Step::Ticked; step != Replay::Step::Finished;) {
        step = replay.step(ScreenDrawing::Awaited);
        ASSERT_NE(step, Replay::Step::OutOfStep) << "at tick " << replay.outOfStepTick();
        if (step == Replay::Step::Waiting) {
            ++waits;
            drawScreens(replayed.state, lock, console);
        }
    }
    EXPECT_GE(waits, 4);  // the title, the level screen twice, the game-over screen
    EXPECT_EQ(replayed.hashes.hashes, play.hashes.hashes);
}

TEST_F(RecordedPlayTest, AChangedStateIsFoundAtItsTick) {
    std::string text = play.text();
    const std::size_t line = text.find("state 60 ");
    ASSERT_NE(line, std::string::npos);
    char& digit = text[line + std::string("state 60 ").size()];
    digit = digit == '0' ? '1' : '0';
    GameState state;
    const ReplayCheck check = checkReplay(read(text), state);
    EXPECT_EQ(check.outOfStepTick, 60);
    EXPECT_EQ(check.report.find("in all"), std::string::npos);
}

TEST_F(RecordedPlayTest, AChangedKeyIsFoundAtTheNextState) {
    std::string text = play.text();
    // The first turn becomes a step: the run goes elsewhere from that tick on.
    const std::size_t line = text.find(" 97  # a\n");
    ASSERT_NE(line, std::string::npos);
    const std::int64_t keyTick = std::stoll(text.substr(text.rfind("key ", line) + 4));
    text.replace(line, 9, " 119\n");
    GameState state;
    const ReplayCheck check = checkReplay(read(text), state);
    ASSERT_TRUE(check.outOfStepTick.has_value());
    EXPECT_EQ(*check.outOfStepTick, (keyTick / kStateLineTicks + 1) * kStateLineTicks);
}

TEST_F(RecordedPlayTest, ARunCutOffReplaysToItsLastLine) {
    const std::string text = play.textSoFar();
    const Recording recording = read(text);
    EXPECT_EQ(recording.end, std::nullopt);
    GameState state;
    const ReplayCheck check = checkReplay(recording, state);
    EXPECT_EQ(check.outOfStepTick, std::nullopt);
    // Played as far as it goes, and never reported as a whole run: the attempt it stops in is
    // cut off, and there is no total.
    EXPECT_EQ(check.cutAtTick, recording.lastTick());
    const std::size_t last = check.report.rfind("level 1: ");
    ASSERT_NE(last, std::string::npos) << check.report;
    EXPECT_TRUE(check.report.substr(last).starts_with("level 1: cut off after ")) << check.report;
    EXPECT_EQ(check.report.find("in all"), std::string::npos) << check.report;
    // With its end line the same run is whole.
    GameState again;
    EXPECT_EQ(checkReplay(read(play.text()), again).cutAtTick, std::nullopt);
}

TEST(ReplayTest, AKeyNoScreenCouldHaveTakenIsOutOfStep) {
    // Before the first tick nothing is requested: no render pass could have let this key in.
    const Recording recording = read(recordingHeaderText(RecordedRun::builtInHeader()) + "key 0 120\nend 5\n");
    GameState state;
    EXPECT_EQ(checkReplay(recording, state).outOfStepTick, 0);
}

}  // namespace
}  // namespace brickstorm
