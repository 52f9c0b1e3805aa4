#include "platform/posix/key_stream.h"

#include <unistd.h>

#include "platform/posix/fd_io.h"
#include "platform/terminal.h"

namespace brickstorm::platform {

std::optional<int> KeyStream::next() {
    while (codes_.empty()) {
        if (ended_ || !readMore()) {
            return std::nullopt;
        }
    }
    const int code = codes_.front();
    codes_.pop_front();
    return code;
}

bool KeyStream::readMore() {
    // Between keys there is no hurry; inside a sequence the rest is due at once.
    const auto wait = decoder_.pending() ? kLoneEscapeWait : kWaitForever;
    const ReadResult result = readAvailable(sys_, fd_, buffer_, wait);
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
    case ReadStatus::Ended:
        // An Escape just before the end is still a key press.
        take(decoder_.flush());
        ended_ = true;
        return !codes_.empty();
    }
    return false;
}

struct KeyReader::Impl {
    KeyStream keys{STDIN_FILENO, systemCalls()};
};

KeyReader::KeyReader() : impl_(std::make_unique<Impl>()) {}

KeyReader::~KeyReader() = default;

std::optional<int> KeyReader::next() { return impl_->keys.next(); }

}  // namespace brickstorm::platform
