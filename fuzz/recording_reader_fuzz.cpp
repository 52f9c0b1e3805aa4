// Fuzzes the recording reader with arbitrary bytes. An accepted recording must keep its lines in
// order (ticks never going back, nothing beyond its last tick), and must read back the same once
// written out again: the writer and the reader agree on every recording the reader takes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "recording/recording.h"
#include "recording/recording_reader.h"

namespace {

using namespace brickstorm;

[[noreturn]] void fail() { std::abort(); }

std::string written(const Recording& recording) {
    std::string text = recordingHeaderText(recording.header);
    for (const RecordedEvent& event : recording.events) {
        text +=
            event.kind() == RecordedEvent::Kind::Key ? keyLine(event.key(), true) : stateLine(event.state());
    }
    if (recording.end) {
        text += endLine(*recording.end);
    }
    return text;
}

void checkOrder(const Recording& recording) {
    std::int64_t last = 0;
    for (const RecordedEvent& event : recording.events) {
        if (event.tick() < last || event.tick() > kMostRecordedTicks) {
            fail();
        }
        last = event.tick();
        if (event.kind() == RecordedEvent::Kind::Key &&
            (event.key().codes.size() == 0 || event.key().codes.size() > 2)) {
            fail();
        }
    }
    if (recording.lastTick() < last) {
        fail();
    }
}

bool sameRecording(const Recording& a, const Recording& b) {
    if (!(a.header == b.header) || a.end != b.end || a.events.size() != b.events.size()) {
        return false;
    }
    return a.events == b.events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const RecordingReadResult result = readRecording(input);
    // Read as a file comes, in pieces that end anywhere, the text reads the same.
    RecordingStream stream;
    const std::size_t cut = size == 0 ? 0 : data[0] % size;
    if (stream.take(input.substr(0, cut))) {
        stream.take(input.substr(cut));
    }
    const RecordingReadResult streamed = stream.finish();
    if (result.index() != streamed.index() ||
        (std::holds_alternative<Recording>(result) &&
         !sameRecording(std::get<Recording>(result), std::get<Recording>(streamed))) ||
        (std::holds_alternative<RecordingProblem>(result) &&
         !(std::get<RecordingProblem>(result) == std::get<RecordingProblem>(streamed)))) {
        fail();
    }
    if (const auto* problem = std::get_if<RecordingProblem>(&result)) {
        if (problem->what.empty() || (problem->line && *problem->line < 1)) {
            fail();
        }
        return 0;
    }
    const Recording& recording = std::get<Recording>(result);
    checkOrder(recording);
    const RecordingReadResult again = readRecording(written(recording));
    if (!std::holds_alternative<Recording>(again) || !sameRecording(std::get<Recording>(again), recording)) {
        fail();
    }
    return 0;
}
