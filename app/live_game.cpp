#include "app/live_game.h"

#include <utility>

namespace brickstorm::app {

void LiveGame::record(const RecordingHeader& header, LineWriter write) {
    const std::lock_guard lock(stateLock_);
    recorder_.emplace(header);
    run_.watch(*recorder_);
    // The header is in the file already: it was written whole when the file was made.
    static_cast<void>(recorder_->takeLines());
    const std::lock_guard writing(writeLock_);
    write_ = std::move(write);
}

void LiveGame::key(int code) {
    const std::lock_guard lock(stateLock_);
    run_.key(code);
}

void LiveGame::tick() {
    std::string lines;
    {
        const std::lock_guard lock(stateLock_);
        run_.tick();
        if (recorder_ && recorder_->flushDue()) {
            lines = recorder_->takeLines();
        }
    }
    // Written outside the state lock: a slow disk holds up neither the keys nor the pictures.
    if (!lines.empty()) {
        writeLines(lines);
    }
}

platform::AppendResult LiveGame::finish() {
    std::string lines;
    {
        const std::lock_guard lock(stateLock_);
        if (recorder_) {
            recorder_->end(run_.ticks());
            lines = recorder_->takeLines();
        }
    }
    return writeLines(lines);
}

std::string LiveGame::writeProblem() const {
    const std::lock_guard lock(writeLock_);
    return writeProblem_;
}

std::int64_t LiveGame::ticks() const {
    const std::lock_guard lock(stateLock_);
    return run_.ticks();
}

platform::AppendResult LiveGame::writeLines(const std::string& lines) {
    const std::lock_guard lock(writeLock_);
    unwritten_ += lines;
    if (!write_ || unwritten_.empty()) {
        return {};
    }
    platform::AppendResult result = write_(unwritten_);
    // What reached the file is gone from here; the rest waits for the next write, so that a
    // full disk that frees up loses nothing in between.
    unwritten_.erase(0, result.added);
    writeProblem_ = result.problem;
    return result;
}

}  // namespace brickstorm::app
