#include "app/loops.h"

#include <thread>
#include <utility>

#include "core/game_tick.h"
#include "screens/screens.h"

namespace brickstorm::app {

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

void runPaced(std::chrono::nanoseconds period, const std::function<void()>& work,
              const std::stop_token& stop) {
    SteadyClock clock;
    while (!stop.stop_requested()) {
        pacedPass(period, work, clock);
    }
}

void tickLoop(GameState& state, std::mutex& stateLock, const std::stop_token& stop) {
    const auto tick = [&] {
        const std::lock_guard lock(stateLock);
        gameTick(state);
    };
    runPaced(kTickPeriod, tick, stop);
}

void renderLoop(GameState& state, std::mutex& stateLock, Console& console,
                const std::function<PictureLayout()>& layoutNow, const ControlNames& controls,
                const std::stop_token& stop) {
    renderLoop(state, stateLock, console, layoutNow, controls, kFramePeriod, stop);
}

void renderLoop(GameState& state, std::mutex& stateLock, Console& console,
                const std::function<PictureLayout()>& layoutNow, const ControlNames& controls,
                std::chrono::nanoseconds period, const std::stop_token& stop) {
    ShownPictures shown;
    const auto draw = [&] {
        const PictureLayout layout = layoutNow();
        if (shown.layout && *shown.layout != layout) {
            // A new window size: the screen is drawn anew at it, whole, which is all the repaint
            // the resize asked for; the last picture, laid out for the old size, is not shown
            // again, before or after.
            console.dropRepaint();
            drawScreens(state, stateLock, console, layout, shown, controls);
            return;
        }
        console.refresh();
        drawScreens(state, stateLock, console, layout, shown, controls);
    };
    runPaced(period, draw, stop);
}

void renderLoop(GameState& state, std::mutex& stateLock, Console& console, const std::stop_token& stop) {
    renderLoop(
        state, stateLock, console, [] { return PictureLayout{}; }, ControlNames{}, stop);
}

}  // namespace brickstorm::app
