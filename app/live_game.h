#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "core/game_state.h"
#include "platform/appending_file.h"
#include "recording/game_run.h"
#include "recording/recorder.h"
#include "recording/recording.h"

namespace brickstorm::app {

// Where recorded lines go: the end of the recording file, or a stand-in in tests.
using LineWriter = std::function<platform::AppendResult(std::string_view)>;

// The game as played at the terminal: the run of the rules under the one state lock, and the
// recording of it, if one is made. The main thread hands it keys and the tick thread ticks; the
// render thread reads the state under the same lock.
class LiveGame {
public:
    LiveGame(GameState& state, std::mutex& stateLock) : stateLock_(stateLock), run_(state) {}

    // Records the run from here on into a file that holds `header` already (see
    // createRecordingFile). The lines reach `write` after every kStateLineTicks ticks, a second
    // at the game's pace; a key waits no longer than that.
    void record(const RecordingHeader& header, LineWriter write);

    // Every key code from the key reader passes here, on its way to the rules.
    void key(int code);

    // One game tick; then, when due, the recorded lines go to the file, outside the state lock.
    void tick();

    // The run ends: the recording's end line, and everything not yet written. Lines that could
    // not be written stay here, and are tried again on the next write.
    platform::AppendResult finish();

    // Why the last write of the recording failed; empty while all is well.
    std::string writeProblem() const;

    // The ticks run so far.
    std::int64_t ticks() const;

private:
    // Adds `lines` to what waits to be written, and writes it all.
    platform::AppendResult writeLines(const std::string& lines);

    std::mutex& stateLock_;
    GameRun run_;
    std::optional<Recorder> recorder_;  // under the state lock, as the run it watches

    mutable std::mutex writeLock_;  // the lines on their way to the file
    LineWriter write_;
    std::string unwritten_;  // lines the file has not taken yet
    std::string writeProblem_;
};

}  // namespace brickstorm::app
