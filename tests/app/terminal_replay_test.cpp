#include "app/terminal_replay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <variant>

#include "recording/recording_reader.h"
#include "screens/screens.h"
#include "support/recorded_run.h"

namespace brickstorm::app {
namespace {

using testing::RecordedRun;

// A short run: into level 1, a step, and a little waiting.
Recording shortRun() {
    RecordedRun play;
    play.tick();
    play.render();
    play.press('x');
    play.render();
    play.press('x');
    play.act('w');
    play.tick(30);
    RecordingReadResult read = readRecording(play.text());
    return std::get<Recording>(std::move(read));
}

class TerminalReplayTest : public ::testing::Test {
protected:
    void render() { drawScreens(state, stateLock, console); }

    const Recording recording = shortRun();
    GameState state;
    std::mutex stateLock;
    testing::NullConsole console;
    std::optional<std::int64_t> strayTick;
    TerminalReplay replay{state, stateLock, recording, [this](std::int64_t tick) { strayTick = tick; }};
};

TEST_F(TerminalReplayTest, PlaysAtTheRenderThreadsPaceThroughTextScreens) {
    // Without a render pass the recorded key cannot leave the title: the replay waits there.
    for (int pass = 0; pass < 10; ++pass) {
        replay.pass();
    }
    EXPECT_EQ(replay.ticks(), 1);
    EXPECT_EQ(state.screen, kScreenIntro);
    for (int pass = 0; pass < 200 && replay.ticks() < recording.lastTick(); ++pass) {
        render();
        replay.pass();
    }
    replay.pass();
    EXPECT_EQ(replay.ticks(), recording.lastTick());
    EXPECT_EQ(strayTick, std::nullopt);
    EXPECT_EQ(state.screen, kScreenGame);
}

TEST_F(TerminalReplayTest, SpacePausesAndResumesAndAnyKeyEndsItOnceOver) {
    render();
    replay.pass();
    EXPECT_FALSE(replay.typed(kPauseKey));
    const std::int64_t paused = replay.ticks();
    for (int pass = 0; pass < 5; ++pass) {
        render();
        replay.pass();
    }
    EXPECT_EQ(replay.ticks(), paused);
    EXPECT_FALSE(replay.typed('w')) << "typed keys do not reach the rules";
    EXPECT_FALSE(replay.typed(kPauseKey));
    while (replay.ticks() < recording.lastTick()) {
        render();
        replay.pass();
    }
    replay.pass();
    replay.waitUntilOver();  // returns at once: the last tick is reached
    EXPECT_TRUE(replay.typed('q'));
}

TEST(TerminalReplayOutOfStepTest, TellsTheTickAndNeverEndsByAKey) {
    RecordedRun play;
    play.tick(25);
    std::string text = play.text();
    const std::size_t hash = text.find("state 20 ") + 9;
    text[hash] = text[hash] == 'a' ? 'b' : 'a';
    RecordingReadResult read = readRecording(text);
    const Recording recording = std::get<Recording>(std::move(read));
    GameState state;
    std::mutex stateLock;
    std::optional<std::int64_t> strayTick;
    TerminalReplay replay(state, stateLock, recording, [&](std::int64_t tick) { strayTick = tick; });
    for (int pass = 0; pass < 30; ++pass) {
        replay.pass();
    }
    EXPECT_EQ(strayTick, 20);
    EXPECT_EQ(replay.ticks(), 20);
    EXPECT_FALSE(replay.typed('q')) << "the program ends with the message instead";
}

}  // namespace
}  // namespace brickstorm::app
