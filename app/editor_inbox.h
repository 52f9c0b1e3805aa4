#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

// Keys handed from the thread that reads them to the editor's thread, one at a time: the reader
// waits until each key has been acted on, so that it stops reading as soon as a key ends the
// editor.
namespace brickstorm::app {

class EditorInbox {
public:
    // The reader's side. Hands over a key and waits until it is acted on; false once the editor
    // has ended.
    bool deliver(int code) {
        std::unique_lock lock(lock_);
        if (ended_) {
            return false;
        }
        keys_.push_back(code);
        const std::uint64_t mine = ++delivered_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return ended_ || handled_ >= mine; });
        return !ended_;
    }
    // Input has ended for good.
    void close() {
        const std::lock_guard lock(lock_);
        closed_ = true;
        changed_.notify_all();
    }

    // The editor's side. The next key, waiting until `deadline` at the latest.
    std::optional<int> next(std::chrono::steady_clock::time_point deadline) {
        std::unique_lock lock(lock_);
        changed_.wait_until(lock, deadline, [&] { return !keys_.empty() || closed_; });
        if (keys_.empty()) {
            return std::nullopt;
        }
        const int code = keys_.front();
        keys_.pop_front();
        return code;
    }
    bool closed() {
        const std::lock_guard lock(lock_);
        return closed_ && keys_.empty();
    }
    // The key taken last has been acted on.
    void handled() {
        const std::lock_guard lock(lock_);
        ++handled_;
        changed_.notify_all();
    }
    // The editor has ended: no more keys are taken.
    void end() {
        const std::lock_guard lock(lock_);
        ended_ = true;
        changed_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<int> keys_;
    std::uint64_t delivered_ = 0;
    std::uint64_t handled_ = 0;
    bool closed_ = false;
    bool ended_ = false;
};

}  // namespace brickstorm::app
