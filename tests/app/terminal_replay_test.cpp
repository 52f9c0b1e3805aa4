#include "app/terminal_replay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "recording/recording_reader.h"
#include "screens/screens.h"
#include "support/recorded_run.h"
#include "support/recording_console.h"

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

// The window says it is a replay: its pace, where it is, whether it is paused, and at the end
// what the next key does.
TEST_F(TerminalReplayTest, TheCaptionSaysWhatTheWindowShows) {
    const std::string last = std::to_string(recording.lastTick());
    EXPECT_EQ(replay.caption(), "REPLAY x1  tick 0/" + last);
    replay.pass();
    EXPECT_EQ(replay.caption(), "REPLAY x1  tick 1/" + last);
    replay.typed(kPauseKey);
    EXPECT_EQ(replay.caption(), "REPLAY x1  tick 1/" + last + "  PAUSED");
    replay.typed(kPauseKey);
    for (int pass = 0; pass < 400 && replay.caption().starts_with("REPLAY"); ++pass) {
        render();
        replay.pass();
    }
    EXPECT_EQ(replay.caption(), "The replay is over: any key ends it.");
    EXPECT_TRUE(replay.typed('x'));

    for (const auto& [speed, shown] :
         {std::pair{2.0, "x2 "}, std::pair{0.25, "x0.25 "}, std::pair{1.5, "x1.5 "}}) {
        GameState other;
        const TerminalReplay faster(
            other, stateLock, recording, [](std::int64_t) {}, speed);
        EXPECT_TRUE(faster.caption().starts_with(std::string("REPLAY ") + shown)) << faster.caption();
    }
}

TEST(CaptionedConsoleTest, OnALineToSpareOrOverTheTopLine) {
    const Picture picture = pictureFromText("#####\n#####");
    EXPECT_EQ(pictureText(CaptionedConsole::captioned(picture, "ab", 3)), "#####\n#####\nab   ");
    EXPECT_EQ(pictureText(CaptionedConsole::captioned(picture, "ab", 2)), "ab ##\n#####");
    EXPECT_EQ(pictureText(CaptionedConsole::captioned(picture, "ab", 0)), "ab ##\n#####");
}

// A picture that stands (a text screen, a paused replay) shows a new caption at the next pass,
// as an update of the same picture; an unchanged caption sends nothing.
TEST(CaptionedConsoleTest, ANewCaptionIsShownAtTheNextPass) {
    testing::RecordingConsole inner;
    std::string caption = "one";
    CaptionedConsole console(
        inner, [&] { return caption; }, [] { return 0; });
    console.refresh();
    EXPECT_TRUE(inner.pages.empty());
    console.showScreen(pictureFromText("........"));
    EXPECT_EQ(inner.lastPage(), "one ....");
    EXPECT_EQ(inner.screens, 1);
    console.refresh();
    EXPECT_EQ(inner.pages.size(), 1U);
    caption = "two!";
    console.refresh();
    EXPECT_EQ(inner.lastPage(), "two! ...");
    EXPECT_EQ(inner.screens, 1);
    EXPECT_EQ(inner.pages.size(), 2U);
}

}  // namespace
}  // namespace brickstorm::app
