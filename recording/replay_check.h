#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/game_state.h"
#include "recording/recording.h"

namespace brickstorm {

// What a check of a recording found.
struct ReplayCheck {
    std::string report;                         // a line for each attempt at a level, then the total
    std::optional<std::int64_t> outOfStepTick;  // where the run stopped following the recording
    // The tick the recording stops at when it has no end line: a run cut off (a full disk, a
    // killed game), played as far as it goes but not a whole run.
    std::optional<std::int64_t> cutAtTick;
};

// Replays `recording` into `state` (levels and start level already set, no tick run) as fast as
// it goes, with no render thread, and checks every recorded state. Out of step, the report has
// the attempts that ended before, and no total; cut off, the attempts, the last one "cut off",
// and no total.
ReplayCheck checkReplay(const Recording& recording, GameState& state);

}  // namespace brickstorm
