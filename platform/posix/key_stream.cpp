#include "platform/posix/key_stream.h"

#include <unistd.h>

#include "platform/posix/fd_io.h"
#include "platform/posix/terminal_session.h"
#include "platform/terminal.h"

namespace brickstorm::platform {

std::optional<int> KeyStream::next() {
    if (takeWakeUp()) {
        return kEndingRequestKey;
    }
    while (codes_.empty()) {
        if (ended_ || !readMore()) {
            return std::nullopt;
        }
        if (takeWakeUp()) {
            return kEndingRequestKey;
        }
    }
    const int code = codes_.front();
    codes_.pop_front();
    return code;
}

bool KeyStream::takeWakeUp() {
    if (wakeUp_ < 0) {
        return false;
    }
    // The wake-up never blocks: an empty one answers at once.
    char request = 0;
    return sys_.read(wakeUp_, &request, 1) == 1;
}

bool KeyStream::readMore() {
    // Between keys there is no hurry; inside a sequence the rest is due at once.
    const auto wait = decoder_.pending() ? kLoneEscapeWait : kWaitForever;
    const ReadResult result = readAvailable(sys_, fd_, buffer_, wait, wakeUp_);
    const auto take = [this](const std::vector<int>& codes) {
        codes_.insert(codes_.end(), codes.begin(), codes.end());
    };
    switch (result.status) {
    case ReadStatus::Data:
        for (std::size_t i = 0; i < result.count; ++i) {
            take(decoder_.feed(buffer_[i]));
        }
        return true;
    case ReadStatus::TimedOut: take(decoder_.flush()); return true;
    case ReadStatus::Woken: return true;  // the caller takes the request
    case ReadStatus::Ended:
        // An Escape just before the end is still a key press.
        take(decoder_.flush());
        ended_ = true;
        return !codes_.empty();
    }
    return false;
}

struct KeyReader::Impl {
    KeyStream keys{STDIN_FILENO, systemCalls(), endingRequestWakeUp()};
};

KeyReader::KeyReader() : impl_(std::make_unique<Impl>()) {}

KeyReader::~KeyReader() = default;

std::optional<int> KeyReader::next() { return impl_->keys.next(); }

bool KeyReader::waiting() const { return impl_->keys.waiting(); }

}  // namespace brickstorm::platform
