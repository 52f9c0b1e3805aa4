#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

// Keys handed from the thread that reads them to the editor's thread, in groups: the codes one
// read of the terminal gave (the two codes of an arrow, a burst of keys that piled up while a
// picture was made). The reader waits until a group has been acted on, so that it stops reading
// as soon as a key ends the editor; the editor acts on every code of the group and composes its
// screen once, so a held key never leaves the picture behind.
namespace brickstorm::app {

class EditorInbox {
public:
    // The reader's side. Hands over the codes read together and waits until they are acted on;
    // false once the editor has ended.
    bool deliver(const std::vector<int>& codes) {
        std::unique_lock lock(lock_);
        if (ended_) {
            return false;
        }
        keys_.insert(keys_.end(), codes.begin(), codes.end());
        delivered_ += codes.size();
        const std::uint64_t mine = delivered_;
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
        return take();
    }
    // A key delivered already, without waiting: the rest of the group being acted on.
    std::optional<int> waiting() {
        const std::lock_guard lock(lock_);
        if (keys_.empty()) {
            return std::nullopt;
        }
        return take();
    }
    bool closed() {
        const std::lock_guard lock(lock_);
        return closed_ && keys_.empty();
    }
    // Every key taken so far has been acted on.
    void handled() {
        const std::lock_guard lock(lock_);
        handled_ = taken_;
        changed_.notify_all();
    }
    // The editor has ended: no more keys are taken.
    void end() {
        const std::lock_guard lock(lock_);
        ended_ = true;
        changed_.notify_all();
    }

private:
    int take() {
        const int code = keys_.front();
        keys_.pop_front();
        ++taken_;
        return code;
    }

    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<int> keys_;
    std::uint64_t delivered_ = 0;
    std::uint64_t taken_ = 0;
    std::uint64_t handled_ = 0;
    bool closed_ = false;
    bool ended_ = false;
};

}  // namespace brickstorm::app
