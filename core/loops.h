#pragma once

#include <chrono>
#include <mutex>

#include "core/console.h"
#include "core/game_state.h"

namespace brickstorm {

inline constexpr std::chrono::milliseconds kTickPeriod{50};
inline constexpr std::chrono::milliseconds kFramePeriod{100};

// The wait after a pass whose work took `elapsed`: the rest of the period, or nothing after an
// overrun (a late pass is not made up).
constexpr std::chrono::nanoseconds restOfPeriod(std::chrono::nanoseconds period,
                                                std::chrono::nanoseconds elapsed) {
    return elapsed < period ? period - elapsed : std::chrono::nanoseconds::zero();
}

// One pass of a paced loop: runs `work`, then waits until `period` after the pass began, or,
// after an overrun, only yields. `clock` gives now(), sleepUntil(time) and yieldNow(), so tests
// can run passes on a clock of their own.
template <class Clock, class Work>
void pacedPass(std::chrono::nanoseconds period, Work&& work, Clock& clock) {
    const auto start = clock.now();
    work();
    const auto rest = restOfPeriod(period, clock.now() - start);
    if (rest > std::chrono::nanoseconds::zero()) {
        // A deadline rather than a relative sleep: time lost waking up is not added to the period.
        clock.sleepUntil(start + period);
    } else {
        clock.yieldNow();
    }
}

// Runs the game tick every 50 ms, for ever, holding `stateLock` around each tick.
[[noreturn]] void tickLoop(GameState& state, std::mutex& stateLock);

// Draws the requested screen every 100 ms, for ever.
[[noreturn]] void renderLoop(GameState& state, std::mutex& stateLock, Console& console);

}  // namespace brickstorm
