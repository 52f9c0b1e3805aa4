#include "core/loops.h"

#include <thread>

#include "core/game_tick.h"
#include "screens/screens.h"

namespace brickstorm {

namespace {

// The wall clock that the real loops are paced by. A monotonic clock: processor time would
// count a pass that waits on output as free, and the wall time of day can jump.
struct SteadyClock {
    static std::chrono::steady_clock::time_point now() { return std::chrono::steady_clock::now(); }
    static void sleepUntil(std::chrono::steady_clock::time_point deadline) {
        std::this_thread::sleep_until(deadline);
    }
    static void yieldNow() { std::this_thread::yield(); }
};

}  // namespace

void tickLoop(GameState& state, std::mutex& stateLock) {
    SteadyClock clock;
    for (;;) {
        pacedPass(kTickPeriod, [&] {
            const std::lock_guard lock(stateLock);
            gameTick(state);
        }, clock);
    }
}

void renderLoop(GameState& state, std::mutex& stateLock, Console& console) {
    SteadyClock clock;
    for (;;) {
        pacedPass(kFramePeriod, [&] {
            console.refresh();
            drawScreens(state, stateLock, console);
        }, clock);
    }
}

}  // namespace brickstorm
