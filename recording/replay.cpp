#include "recording/replay.h"

#include "core/state_hash.h"

namespace brickstorm {

namespace {

bool isTextScreen(const std::string& name) {
    return name == kScreenIntro || name == kScreenLevelIntro || name == kScreenDeath || name == kScreenClosing;
}

}  // namespace

Replay::Step Replay::outOfStep() {
    outOfStepTick_ = run_.ticks();
    return Step::OutOfStep;
}

Replay::Step Replay::playDueLines(ScreenDrawing drawing) {
    GameState& state = run_.state();
    while (next_ < recording_.events.size() && recording_.events[next_].tick() == run_.ticks()) {
        const RecordedEvent& event = recording_.events[next_];
        if (event.kind() == RecordedEvent::Kind::State) {
            if (stateHash(state) != event.state().hash) {
                return outOfStep();
            }
            ++next_;
            continue;
        }
        // Code by code, as the live game handled them: the second code of an extended key may
        // meet a new text screen, which the render thread drew in between.
        const KeyCodes codes = event.key().codes;
        for (; nextCode_ < codes.size(); ++nextCode_) {
            if (!canLeaveScreen(state)) {
                // The recorded key reached the rules, so its screen was drawn by then. A key
                // refused with no text screen waiting to be drawn was never recorded.
                if (!isTextScreen(state.render.drawScreen)) {
                    return outOfStep();
                }
                if (drawing == ScreenDrawing::Awaited) {
                    return Step::Waiting;
                }
                state.render.screenDrawn = true;
            }
            run_.key(codes[nextCode_]);
        }
        nextCode_ = 0;
        ++next_;
    }
    return Step::Ticked;
}

Replay::Step Replay::step(ScreenDrawing drawing) {
    if (outOfStepTick_ >= 0) {
        return Step::OutOfStep;
    }
    if (const Step played = playDueLines(drawing); played != Step::Ticked) {
        return played;
    }
    if (run_.ticks() >= recording_.lastTick()) {
        return Step::Finished;
    }
    run_.tick();
    return Step::Ticked;
}

Replay::Step Replay::runToEnd() {
    Step step = Step::Ticked;
    while (step == Step::Ticked) {
        step = this->step(ScreenDrawing::Marked);
    }
    return step;
}

}  // namespace brickstorm
