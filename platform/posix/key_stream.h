#pragma once

#include <array>
#include <chrono>
#include <deque>
#include <optional>

#include "core/key_codes.h"
#include "platform/posix/system_calls.h"
#include "terminal/key_decoder.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;

// How long the rest of an escape sequence may take to follow its ESC. A terminal sends a key's
// sequence in one go, so anything slower is a person pressing Escape; a short wait keeps the
// Escape key prompt.
inline constexpr std::chrono::milliseconds kLoneEscapeWait{50};

// Key codes from a file descriptor: a terminal in raw mode, or a pipe or file read as it is.
class KeyStream {
public:
    // `wakeUp`, if not -1: a descriptor that becomes readable when the program is asked to end
    // (see terminal_session.h), each byte in it one request.
    KeyStream(int fd, SystemCalls& sys, int wakeUp = -1) : fd_(fd), wakeUp_(wakeUp), sys_(sys) {}

    // Blocks until the next key code; nothing once the input has ended (and then at once, on
    // every later call, without touching the descriptor again). kEndingRequestKey at once
    // for each request, before any key.
    std::optional<int> next();

    // Codes decoded from what was read wait to be taken: next() returns one at once.
    bool waiting() const { return !codes_.empty(); }

private:
    // Reads once and decodes what came; false at the end of input.
    bool readMore();
    // A request has come: its byte is taken out of the wake-up.
    bool takeWakeUp();

    int fd_;
    int wakeUp_;
    SystemCalls& sys_;
    KeyDecoder decoder_;
    std::deque<int> codes_;
    bool ended_ = false;
    std::array<unsigned char, 64> buffer_{};
};

}  // namespace brickstorm::platform
