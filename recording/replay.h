#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "recording/game_run.h"
#include "recording/recording.h"

namespace brickstorm {

// What stands in, during a replay, for the render pass that let a recorded key leave its text
// screen: in the recorded run the screen had been drawn in full before the key reached the rules.
enum class ScreenDrawing {
    Marked,   // no render thread: the replay marks the requested text screen drawn itself
    Awaited,  // a render thread draws it: the replay waits until it has
};

// Plays a recording's keys into a run at the ticks they were recorded, and checks every
// recorded state. The run must start as the recorded one did (levels and start level set, no
// tick run yet).
class Replay {
public:
    Replay(const Recording& recording, GameRun& run) : recording_(recording), run_(run) {}

    enum class Step {
        Ticked,     // the keys due were handled and one more tick has run
        Waiting,    // a key is due on a text screen that the render thread has not drawn yet
        Finished,   // the recording's last tick is reached and every line of it is played
        OutOfStep,  // the run no longer follows the recording; see outOfStepTick()
    };

    // Hands the rules every line due after the ticks run so far (checking states, handling
    // keys), then runs one tick, unless the recording is over.
    Step step(ScreenDrawing drawing);

    // Steps until the recording is over or the run goes out of step, with no render thread.
    Step runToEnd();

    // The tick at which the run went out of step.
    std::int64_t outOfStepTick() const { return outOfStepTick_; }

private:
    // Plays the lines of the current tick; false when the run goes out of step or must wait.
    Step playDueLines(ScreenDrawing drawing);
    Step outOfStep();

    const Recording& recording_;
    GameRun& run_;
    std::size_t next_ = 0;      // the next recorded line to play
    std::size_t nextCode_ = 0;  // of the key of that line, the next code to hand over
    std::int64_t outOfStepTick_ = -1;
};

}  // namespace brickstorm
