#include "app/terminal_replay.h"

namespace brickstorm::app {

void TerminalReplay::pass() {
    std::int64_t strayTick = -1;
    {
        const std::lock_guard lock(stateLock_);
        if (paused_ || over_) {
            return;
        }
        // A key due on a text screen not drawn yet waits for the render thread: the tick does
        // not advance meanwhile, so the run stays on the recorded ticks.
        switch (replay_.step(ScreenDrawing::Awaited)) {
        case Replay::Step::Ticked:
        case Replay::Step::Waiting: return;
        case Replay::Step::Finished: over_ = true; break;
        case Replay::Step::OutOfStep:
            over_ = true;
            stray_ = true;
            strayTick = replay_.outOfStepTick();
            break;
        }
    }
    overChanged_.notify_all();
    if (strayTick >= 0) {
        outOfStep_(strayTick);
    }
}

bool TerminalReplay::typed(int code) {
    const std::lock_guard lock(stateLock_);
    if (over_) {
        // Out of step, the program ends with its message from the replay's thread.
        return !stray_;
    }
    if (code == kPauseKey) {
        paused_ = !paused_;
    }
    return false;
}

void TerminalReplay::waitUntilOver() {
    std::unique_lock lock(stateLock_);
    overChanged_.wait(lock, [this] { return over_; });
}

std::int64_t TerminalReplay::ticks() const {
    const std::lock_guard lock(stateLock_);
    return run_.ticks();
}

}  // namespace brickstorm::app
