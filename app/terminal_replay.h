#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>

#include "core/game_state.h"
#include "recording/game_run.h"
#include "recording/recording.h"
#include "recording/replay.h"

namespace brickstorm::app {

// A recording played back in the terminal at its pace: a thread of its own takes the place of
// the tick thread and hands the rules the recorded keys, while the render thread draws as in a
// game. Keys typed meanwhile never reach the rules.
class TerminalReplay {
public:
    // `outOfStep` is called, on the replay's thread, with the tick at which the run stopped
    // following the recording; nothing more is played after it.
    TerminalReplay(GameState& state, std::mutex& stateLock, const Recording& recording,
                   std::function<void(std::int64_t)> outOfStep)
        : stateLock_(stateLock), run_(state), replay_(recording, run_), outOfStep_(std::move(outOfStep)) {}

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

private:
    std::mutex& stateLock_;  // guards the run and the flags
    GameRun run_;
    Replay replay_;
    std::function<void(std::int64_t)> outOfStep_;
    bool paused_ = false;
    bool over_ = false;
    bool stray_ = false;  // over because the run went out of step
    std::condition_variable overChanged_;
};

// The key that pauses and resumes a replay.
inline constexpr int kPauseKey = ' ';

}  // namespace brickstorm::app
