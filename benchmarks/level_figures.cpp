// Plays a generated level in-process at the game's real rates, the tick every 50 ms under the
// state lock and the render pass every 100 ms (its output thrown away), with the player standing
// still, and prints the level start time, the processor time used while playing and the peak
// resident memory of the whole run.
//
// Usage: brickstorm_level_figures city|tower|largest|largest-exits [seconds, default 10]
//        brickstorm_level_figures city|tower|largest|largest-exits --write FILE
// The second form only writes the level to FILE, as a level file the game can play.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "app/loops.h"
#include "core/game_state.h"
#include "core/level_loading.h"
#include "screens/screens.h"
#include "support/generated_levels.h"
#include "support/null_console.h"
#include "world/level.h"

namespace {

using namespace brickstorm;
using Clock = std::chrono::steady_clock;

// The sizes of the largest level accepted, filled two ways: 256 cells wide and deep, and as high
// as the limit then allows.
constexpr std::int32_t kLargestX = 256;
constexpr std::int32_t kLargestZ = 256;
constexpr auto kLargestY = static_cast<std::int32_t>(kMaxLevelCells / (std::int64_t{kLargestX} * kLargestZ));
static_assert(kLargestY >= 2 && kLargestY <= 999, "the largest level must fit a level header");

// Every cell the exit: nothing hides an exit's side, so each cell shows all fourteen faces.
std::string allExitsText() {
    testing::LevelGrid grid(kLargestX, kLargestY, kLargestZ);
    for (std::int32_t x = 0; x < kLargestX; ++x) {
        for (std::int32_t y = 0; y < kLargestY; ++y) {
            for (std::int32_t z = 0; z < kLargestZ; ++z) {
                grid.at(x, y, z) = kCellExit;
            }
        }
    }
    // The player stands on a block among them: on an exit the level would be over at once.
    grid.at(1, 1, 1) = kCellPlayerStart;
    grid.at(1, 0, 1) = kCellBlock;
    return grid.text();
}

std::string levelText(std::string_view name) {
    if (name == "city") {
        return testing::cityLevelText(256, 256, 100);
    }
    if (name == "tower") {
        return testing::mazeTowerText(64);
    }
    if (name == "largest") {
        return testing::checkerboardText(kLargestX, kLargestY, kLargestZ);
    }
    if (name == "largest-exits") {
        return allExitsText();
    }
    return {};
}

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The peak resident memory of the process so far, in MiB, as the kernel counts it.
double peakResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
        }
    }
    return 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view name = argc > 1 ? argv[1] : "city";
    const double seconds = argc == 3 ? std::atof(argv[2]) : 10.0;
    std::string text = levelText(name);
    if (text.empty()) {
        std::fprintf(stderr, "usage: brickstorm_level_figures city|tower|largest|largest-exits [seconds]\n");
        return 2;
    }

    if (argc > 3 && std::string_view(argv[2]) == "--write") {
        std::ofstream file(argv[3], std::ios::binary);
        file << text;
        return file ? 0 : 1;
    }

    GameState state;
    std::mutex stateLock;
    testing::NullConsole console;
    const auto startBegan = Clock::now();
    {
        state.render.drawScreen = kScreenGame;
        Level level(std::move(text));
        startLevel(state, std::move(level));
    }
    const std::chrono::duration<double, std::milli> startTime = Clock::now() - startBegan;

    const double cpuBefore = processorSeconds();
    const auto playBegan = Clock::now();
    {
        std::jthread ticker([&](const std::stop_token& stop) { app::tickLoop(state, stateLock, stop); });
        std::jthread renderer(
            [&](const std::stop_token& stop) { app::renderLoop(state, stateLock, console, stop); });
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    const std::chrono::duration<double> played = Clock::now() - playBegan;
    const double cpu = processorSeconds() - cpuBefore;

    std::printf("%s: %zu cells, %zu faces, %zu enemies\n", std::string(name).c_str(), state.level.cellCount(),
                state.levelFaces->faceCount(), state.enemies.size());
    std::printf("%s: level start %.1f ms\n", std::string(name).c_str(), startTime.count());
    std::printf("%s: processor time standing %.1f s: %.3f s (%.2f %% of one core), still in play: %s\n",
                std::string(name).c_str(), played.count(), cpu, cpu / played.count() * 100.0,
                state.screen == kScreenGame ? "yes" : "no");
    std::printf("%s: peak resident memory %.1f MiB\n", std::string(name).c_str(), peakResidentMiB());
    return 0;
}
