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

namespace {

// A speed as a person writes it: "2", "0.5", "1.25".
std::string speedText(double speed) {
    std::string text = std::to_string(speed);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.ends_with('.')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::string TerminalReplay::caption() const {
    const std::lock_guard lock(stateLock_);
    if (over_) {
        return cutOff_ ? "The recording is cut off here: any key ends the replay."
                       : "The replay is over: any key ends it.";
    }
    std::string text = "REPLAY x" + speedText(speed_) + "  tick " + std::to_string(run_.ticks()) + "/" +
                       std::to_string(lastTick_);
    if (paused_) {
        text += "  PAUSED";
    }
    return text;
}

Picture CaptionedConsole::captioned(const Picture& picture, const std::string& caption, int windowLines) {
    Picture shown = picture;
    const std::size_t width = picture.lines.empty() ? caption.size() : picture.lines.front().size();
    if (windowLines > static_cast<int>(picture.lines.size())) {
        shown.lines.emplace_back(width);
        placeText(shown, caption, 0, static_cast<int>(shown.lines.size()) - 1);
    } else {
        // A blank after it keeps the caption apart from the picture it stands on.
        placeText(shown, caption + " ", 0, 0);
    }
    return shown;
}

void CaptionedConsole::present(const Picture& picture, PictureChange change) {
    last_ = picture;
    shownCaption_ = caption_();
    const Picture shown = captioned(picture, shownCaption_, windowLines_());
    if (change == PictureChange::Replace) {
        inner_.showScreen(shown);
    } else {
        inner_.showPicture(shown);
    }
}

void CaptionedConsole::refresh() {
    inner_.refresh();
    if (!last_) {
        return;
    }
    if (std::string caption = caption_(); caption != shownCaption_) {
        shownCaption_ = std::move(caption);
        inner_.showPicture(captioned(*last_, shownCaption_, windowLines_()));
    }
}

}  // namespace brickstorm::app
