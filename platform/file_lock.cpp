// What a lock does when it is destroyed or moved is the same on every system; only taking and
// letting go of it differ.
#include <utility>

#include "platform/file_writing.h"

namespace brickstorm::platform {

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock&& other) noexcept
    : state_(std::exchange(other.state_, State::Failed)),
      path_(std::move(other.path_)),
      problem_(std::move(other.problem_)),
      handle_(std::exchange(other.handle_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        state_ = std::exchange(other.state_, State::Failed);
        path_ = std::move(other.path_);
        problem_ = std::move(other.problem_);
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

}  // namespace brickstorm::platform
