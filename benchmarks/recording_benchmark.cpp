// How long a check of a recording takes: an hour of play (72,000 ticks) read and replayed with
// every state checked, as `brickstorm --replay FILE --check` does it.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "recording/recording_reader.h"
#include "recording/replay_check.h"
#include "support/recorded_run.h"

namespace {

using namespace brickstorm;

constexpr std::int64_t kHourOfTicks = 72'000;

// An hour of the built-in level played by a restless player: a key every quarter of a second,
// stepping, turning and shooting, and through every text screen a death leads to.
const std::string& hourOfPlay() {
    static const std::string text = [] {
        testing::RecordedRun play;
        constexpr std::array<int, 8> kKeys{'w', 'r', 'a', 'w', 'd', 'r', 'w', 's'};
        std::size_t next = 0;
        while (play.run.ticks() < kHourOfTicks) {
            play.tick(5);
            if (play.state.screen == kScreenGame) {
                play.press(kKeys[next++ % kKeys.size()]);
            } else {
                play.render();
                play.press(' ');
            }
        }
        return play.text();
    }();
    return text;
}

void checkAnHourOfPlay(benchmark::State& bench) {
    const std::string& text = hourOfPlay();
    std::int64_t ticks = 0;
    for (auto _ : bench) {
        RecordingReadResult read = readRecording(text);
        GameState state;
        const ReplayCheck check = checkReplay(std::get<Recording>(read), state);
        benchmark::DoNotOptimize(check.report.data());
        if (check.outOfStepTick) {
            bench.SkipWithError("the replay went out of step");
        }
        ticks = std::get<Recording>(read).lastTick();
    }
    bench.counters["ticks"] = static_cast<double>(ticks);
    bench.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(checkAnHourOfPlay)->Unit(benchmark::kMillisecond);

}  // namespace
