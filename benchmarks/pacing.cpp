// Prints the tick and frame periods that the paced loops actually achieve on this machine, with
// the real game work: the tick under the state lock, and the render pass drawing every screen
// (its output thrown away). A third thread types keys so that the game is played while measured.
//
// Usage: brickstorm_pacing [seconds, default 20]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "app/loops.h"
#include "core/game_tick.h"
#include "core/key_handler.h"
#include "screens/screens.h"
#include "support/null_console.h"

namespace {

using namespace brickstorm;
using Clock = std::chrono::steady_clock;

// Median and 99th percentile of how far each period strayed from `period`, in milliseconds.
void printDeviations(const char* name, const std::vector<Clock::time_point>& starts, Clock::duration period) {
    std::vector<double> deviations;
    for (std::size_t i = 1; i < starts.size(); ++i) {
        const std::chrono::duration<double, std::milli> stray = (starts[i] - starts[i - 1]) - period;
        deviations.push_back(std::abs(stray.count()));
    }
    if (deviations.empty()) {
        std::printf("%s: no periods\n", name);
        return;
    }
    std::sort(deviations.begin(), deviations.end());
    const double median = deviations[deviations.size() / 2];
    const double p99 = deviations[std::min(deviations.size() - 1, deviations.size() * 99 / 100)];
    const std::chrono::duration<double, std::milli> nominal = period;
    std::printf("%s period %.0f ms: deviation median %.3f ms, p99 %.3f ms, max %.3f ms over %zu periods\n",
                name, nominal.count(), median, p99, deviations.back(), deviations.size());
}

}  // namespace

int main(int argc, char** argv) {
    const auto seconds = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 20);
    GameState state;
    std::mutex stateLock;
    testing::NullConsole console;
    std::vector<Clock::time_point> tickStarts;
    std::vector<Clock::time_point> frameStarts;
    {
        std::jthread ticker([&](const std::stop_token& stop) {
            const auto tick = [&] {
                tickStarts.push_back(Clock::now());
                const std::lock_guard lock(stateLock);
                gameTick(state);
            };
            app::runPaced(app::kTickPeriod, tick, stop);
        });
        std::jthread renderer([&](const std::stop_token& stop) {
            const auto draw = [&] {
                frameStarts.push_back(Clock::now());
                drawScreens(state, stateLock, console);
            };
            app::runPaced(app::kFramePeriod, draw, stop);
        });
        std::jthread typist([&](const std::stop_token& stop) {
            std::mt19937 random(1);
            const int keys[] = {'w', 'a', 'd', 's', 'r', ' ', 75, 77, 'x'};
            std::uniform_int_distribution<std::size_t> pick(0, std::size(keys) - 1);
            while (!stop.stop_requested()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                const std::lock_guard lock(stateLock);
                handleKey(state, keys[pick(random)]);
            }
        });
        std::this_thread::sleep_for(seconds);
    }
    printDeviations("tick", tickStarts, app::kTickPeriod);
    printDeviations("frame", frameStarts, app::kFramePeriod);
    return 0;
}
