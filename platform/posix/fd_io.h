#pragma once

#include <chrono>
#include <cstddef>
#include <span>
#include <string_view>

#include "platform/posix/system_calls.h"

// Reading and writing a file descriptor the way a terminal program must: retrying what was only
// interrupted, and telling a failure for good apart from a pause.
namespace brickstorm::platform {

// Writes all of `bytes`, over as many calls as the descriptor needs (a terminal may take a long
// write in pieces, and a signal may cut a call short). False once writing has failed for good
// (closed output, broken pipe, hung-up terminal): the caller must not try again.
bool writeAll(SystemCalls& sys, int fd, std::string_view bytes);

// How a write to a file went: the bytes it took, and the error number that stopped it (0 when
// every byte went, kNothingWritten when the system took none without saying why).
struct FileBytesWritten {
    std::size_t count = 0;
    int error = 0;
};
inline constexpr int kNothingWritten = -1;

// Writes all of `bytes` to a file, retrying only what a signal interrupted: a file, unlike a
// terminal, has no pause to wait out, and a write that takes nothing would take nothing again.
FileBytesWritten writeToFile(SystemCalls& sys, int fd, std::string_view bytes);

// The words for a write's error number, kNothingWritten included.
const char* writeErrorText(int error);

enum class ReadStatus {
    Data,      // `count` bytes are in the buffer
    TimedOut,  // nothing arrived within the wait
    Ended,     // end of input or a read error: no more bytes will ever come
    Woken,     // the wake-up descriptor became readable first (nothing was read)
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ended;
    std::size_t count = 0;
};

// A wait without limit.
inline constexpr std::chrono::milliseconds kWaitForever{-1};

// Waits up to `timeout` for input on `fd` (without spending processor time), then reads what is
// there, at most the buffer's size. With a `wakeUp` descriptor (not -1), the wait also ends
// when that one becomes readable, which the caller then reads.
ReadResult readAvailable(SystemCalls& sys, int fd, std::span<unsigned char> buffer,
                         std::chrono::milliseconds timeout, int wakeUp = -1);

}  // namespace brickstorm::platform
