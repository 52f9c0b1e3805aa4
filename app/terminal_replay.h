#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "core/game_state.h"
#include "recording/game_run.h"
#include "recording/recording.h"
#include "recording/replay.h"
#include "render/console.h"
#include "render/picture.h"

namespace brickstorm::app {

// A recording played back in the terminal at its pace: a thread of its own takes the place of
// the tick thread and hands the rules the recorded keys, while the render thread draws as in a
// game. Keys typed meanwhile never reach the rules.
class TerminalReplay {
public:
    // `outOfStep` is called, on the replay's thread, with the tick at which the run stopped
    // following the recording; nothing more is played after it.
    TerminalReplay(GameState& state, std::mutex& stateLock, const Recording& recording,
                   std::function<void(std::int64_t)> outOfStep, double speed = 1.0)
        : stateLock_(stateLock),
          run_(state),
          replay_(recording, run_),
          outOfStep_(std::move(outOfStep)),
          speed_(speed),
          lastTick_(recording.lastTick()),
          cutOff_(!recording.end) {}

    // One tick period's work: the keys due and the next tick, unless paused, waiting for a text
    // screen to be drawn, or over.
    void pass();

    // A key typed during the replay: Space pauses and resumes; once the replay is over, any key
    // ends it. True when the program should end.
    bool typed(int code);

    // Blocks until the recording has been played to its last tick.
    void waitUntilOver();

    // The ticks run so far.
    std::int64_t ticks() const;

    // The line that says what is on the window is a replay: "REPLAY x2  tick 325/1200", with
    // "PAUSED" after it while paused, and once the recording is played to its end, what the next
    // key does.
    std::string caption() const;

private:
    std::mutex& stateLock_;  // guards the run and the flags
    GameRun run_;
    Replay replay_;
    std::function<void(std::int64_t)> outOfStep_;
    double speed_ = 1.0;
    std::int64_t lastTick_ = 0;
    bool cutOff_ = false;  // the recording has no end line
    bool paused_ = false;
    bool over_ = false;
    bool stray_ = false;  // over because the run went out of step
    std::condition_variable overChanged_;
};

// The key that pauses and resumes a replay.
inline constexpr int kPauseKey = ' ';

// A console that shows a caption with every picture: on a line below the picture where the
// window has one to spare, or else over the picture's top line. A caption that changes while a
// picture stands (a text screen, a paused replay) is shown at the next render pass.
class CaptionedConsole final : public Console {
public:
    // `caption` is asked for at each picture and pass, outside the game's lock; `windowLines` is
    // the window's height now (0 when unknown).
    CaptionedConsole(Console& inner, std::function<std::string()> caption, std::function<int()> windowLines)
        : inner_(inner), caption_(std::move(caption)), windowLines_(std::move(windowLines)) {}

    std::optional<ColourDepth> colourDepth() const override { return inner_.colourDepth(); }
    void refresh() override;
    void dropRepaint() override { inner_.dropRepaint(); }

    // `picture` with `caption` on a line of its own, when `windowLines` leaves room for one, or
    // over its top line.
    static Picture captioned(const Picture& picture, const std::string& caption, int windowLines);

private:
    void present(const Picture& picture, PictureChange change) override;

    Console& inner_;
    std::function<std::string()> caption_;
    std::function<int()> windowLines_;
    std::optional<Picture> last_;  // the last picture given, without its caption
    std::string shownCaption_;
};

}  // namespace brickstorm::app
