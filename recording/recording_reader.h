#pragma once

#include <cstdint>
#include <memory>
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

class RecordingLines;

// Reads a recording piece by piece as it comes from its file, holding no more of its text than
// the line under way: a long recording costs the lines a replay keeps, not its text as well.
class RecordingStream {
public:
    RecordingStream();
    ~RecordingStream();
    RecordingStream(const RecordingStream&) = delete;
    RecordingStream& operator=(const RecordingStream&) = delete;

    // Takes the next piece of the text; false once a problem is found (the rest need not come).
    bool take(std::string_view piece);
    // The recording, or its first problem, once every piece has been taken.
    RecordingReadResult finish();

private:
    std::unique_ptr<RecordingLines> lines_;
    std::string partial_;  // a line whose end has not come yet
    std::int64_t lineCount_ = 0;
    std::optional<RecordingProblem> problem_;
};

// Reads a whole recording and stops at its first problem. Lines may end in CRLF. A last line of
// the run without a line end is left out: a run cut off by a full disk may stop in the middle of
// a line, and replays up to the line before.
RecordingReadResult readRecording(std::string_view text);

// The text that escapedForDisplay shows as `shown`; nothing if `shown` could not have come from
// it (a lone backslash, a broken \xHH, a raw control byte).
std::optional<std::string> unescapedFromDisplay(std::string_view shown);

}  // namespace brickstorm
