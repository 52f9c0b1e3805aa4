#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "recording/recording.h"

namespace brickstorm {

// The most bytes a recording may hold: hundreds of hours of play. Reading stops there, so that
// a mistaken name such as /dev/zero is refused at once.
inline constexpr std::int64_t kMaxRecordingBytes = std::int64_t{64} << 20;

// What makes a recording unusable, and on which line (counted from 1), if the problem has one.
struct RecordingProblem {
    std::optional<std::int64_t> line;
    std::string what;  // safe to show: text from the file comes escaped

    friend bool operator==(const RecordingProblem&, const RecordingProblem&) = default;
};

using RecordingReadResult = std::variant<Recording, RecordingProblem>;

// Reads a whole recording and stops at its first problem. Lines may end in CRLF. A last line of
// the run without a line end is left out: a run cut off by a full disk may stop in the middle of
// a line, and replays up to the line before.
RecordingReadResult readRecording(std::string_view text);

// The text that escapedForDisplay shows as `shown`; nothing if `shown` could not have come from
// it (a lone backslash, a broken \xHH, a raw control byte).
std::optional<std::string> unescapedFromDisplay(std::string_view shown);

}  // namespace brickstorm
