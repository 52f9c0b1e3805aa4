// What keeping settings and progress costs a game: reading a configuration file, naming a set
// of levels by its content (done once at start, over every level's text: the largest level
// accepted is the worst case) and writing the progress file whole, flushed to the disk, as each
// new level reached does.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/config_reading.h"
#include "app/progress_keeping.h"
#include "platform/file_writing.h"
#include "settings/config_file.h"
#include "settings/progress.h"
#include "support/generated_levels.h"
#include "support/temp_folder.h"
#include "world/level.h"

namespace {

using namespace brickstorm;

// A configuration file of the size players write: every option, the AZERTY keys spelled out, and
// comments.
constexpr std::string_view kConfiguration = R"(# brickstorm settings
color = always
color-depth = 256
cell-aspect = 2.1
fit = true
full-redraw = false

# French keyboard
key forward = z
key back = s
key turn-left = q
key turn-right = d
key step-left = left
key step-right = right
key climb = space
key shoot = r
)";

void readConfiguration(benchmark::State& bench) {
    for (auto _ : bench) {
        auto result = app::configOptions(kConfiguration);
        benchmark::DoNotOptimize(result);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * kConfiguration.size()));
}
BENCHMARK(readConfiguration);

void nameTheLargestLevel(benchmark::State& bench) {
    constexpr std::int32_t kSide = 256;
    constexpr auto kHeight = static_cast<std::int32_t>(kMaxLevelCells / (std::int64_t{kSide} * kSide));
    const std::vector<std::string> levels{testing::checkerboardText(kSide, kHeight, kSide)};
    for (auto _ : bench) {
        benchmark::DoNotOptimize(settings::levelSetName(levels));
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * levels.front().size()));
}
BENCHMARK(nameTheLargestLevel)->Unit(benchmark::kMillisecond);

// A progress file of a player with many packs: 100 sets.
void writeProgressWhole(benchmark::State& bench) {
    testing::TempFolder folder("brickstorm-settings-benchmark-");
    settings::Progress progress;
    for (int set = 0; set < 100; ++set) {
        progress.reach(settings::levelSetName({std::to_string(set)}), set + 1);
    }
    const std::string text = settings::progressText(progress);
    const std::string file = app::progressFile(folder.path());
    for (auto _ : bench) {
        if (!platform::writeFileAtomically(file, text)) {
            bench.SkipWithError("the progress file could not be written");
        }
    }
    bench.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(writeProgressWhole)->Unit(benchmark::kMicrosecond);

}  // namespace
