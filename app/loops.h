#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <stop_token>

#include "core/game_state.h"
#include "render/console.h"
#include "screens/picture_layout.h"
#include "screens/screen_texts.h"

namespace brickstorm::app {

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

// Runs `work` every `period` on the steady clock until `stop` is requested; with a default
// token, for ever.
void runPaced(std::chrono::nanoseconds period, const std::function<void()>& work,
              const std::stop_token& stop = {});

// Runs the game tick every 50 ms, holding `stateLock` around each tick. The game itself never
// stops it; a stop token lets tests and tools end it.
void tickLoop(GameState& state, std::mutex& stateLock, const std::stop_token& stop = {});

// Draws the requested screen every 100 ms, in the layout that `layoutNow` gives at that pass, with
// the level screen naming the keys as `controls` does.
void renderLoop(GameState& state, std::mutex& stateLock, Console& console,
                const std::function<PictureLayout()>& layoutNow, const ControlNames& controls,
                const std::stop_token& stop = {});

// The same in the full picture's layout.
void renderLoop(GameState& state, std::mutex& stateLock, Console& console, const std::stop_token& stop = {});

}  // namespace brickstorm::app
