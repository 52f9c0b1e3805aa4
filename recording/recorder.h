#pragma once

#include <cstdint>
#include <string>

#include "recording/game_run.h"
#include "recording/recording.h"

namespace brickstorm {

// Writes a run down as it is played: every key that reached the rules, and the state's hash
// after every kStateLineTicks ticks. The lines wait here until they are taken to be written.
class Recorder final : public RunWatcher {
public:
    // Begins with the header's lines.
    explicit Recorder(const RecordingHeader& header) : pending_(recordingHeaderText(header)) {}

    void keyHandled(std::int64_t tick, int code, const GameState& state) override;
    void ticked(std::int64_t tick, bool onGameScreen, const GameState& state) override;

    // The run has ended after `tick` ticks: the last line.
    void end(std::int64_t tick);

    // True when lines should reach the file now: a state line has just been added, one a
    // second at the game's pace, which bounds how long a key waits to be written.
    bool flushDue() const { return flushDue_; }

    // The lines written down since the last call, whole lines only.
    std::string takeLines();

private:
    std::string pending_;
    // The tick of a prefix code on the last pending line, waiting for the code that follows it.
    std::int64_t openPrefixTick_ = -1;
    std::size_t openPrefixLine_ = 0;  // where that line begins in `pending_`
    int openPrefix_ = 0;
    bool flushDue_ = false;
};

}  // namespace brickstorm
