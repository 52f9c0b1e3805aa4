// The editor on the largest level a file may hold (256 x 128 x 256 cells, blocks in a 3D
// checkerboard: the most faces a level of blocks can show): opening it (reading the file, the
// first screen with its 3D view), and a key to the updated screen, 3D view included, for a key
// that moves the cursor and for one that changes a cell.

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <variant>

#include "app/editor_files.h"
#include "core/key_codes.h"
#include "editor/editor_keys.h"
#include "editor/editor_screen.h"
#include "editor/editor_session.h"
#include "editor/level_writing.h"
#include "support/generated_levels.h"

namespace {

using namespace brickstorm;

constexpr std::int32_t kColumns = 119;  // a window of 120 x 40
constexpr std::int32_t kLines = 40;

// The largest level as a file, written once.
const std::string& largestLevelFile() {
    static const std::string path = [] {
        std::string name = "/tmp/brickstorm-editor-benchmark.lvl";
        const auto level = editor::EditedLevel::fromLevelString(testing::checkerboardText(256, 128, 256));
        std::ofstream(name, std::ios::binary) << editor::levelFileText(*level);
        return name;
    }();
    return path;
}

const editor::ScreenFacts kFacts{"largest.lvl", true, std::nullopt, 2.0};

void BM_OpenLargestLevel(benchmark::State& state) {
    const std::string& file = largestLevelFile();
    for (auto _ : state) {
        auto opened = app::openLevelFile(file, editor::kNewLevelSizes);
        editor::EditorSession editor(std::move(std::get<app::OpenedLevel>(opened).level));
        editor::EditorScreen screen;
        benchmark::DoNotOptimize(screen.compose(editor, kFacts, kColumns, kLines));
    }
}
BENCHMARK(BM_OpenLargestLevel)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// One key, then the screen composed anew, as the editor does for every key.
void keyToScreen(benchmark::State& state, bool changeCell) {
    auto opened = app::openLevelFile(largestLevelFile(), editor::kNewLevelSizes);
    editor::EditorSession editor(std::move(std::get<app::OpenedLevel>(opened).level));
    editor::EditorScreen screen;
    screen.compose(editor, kFacts, kColumns, kLines);
    // The middle of the level, looking along a row of the checkerboard.
    for (int i = 0; i < 128; ++i) {
        editor.handleKey(kNavigationKeyPrefix);
        editor.handleKey(editor::kUpArrowCode);
    }
    int step = 0;
    for (auto _ : state) {
        if (changeCell) {
            editor.handleKey(step % 2 == 0 ? editor::kKeyToggle : editor::kKeyUndo);
        } else {
            editor.handleKey(kNavigationKeyPrefix);
            editor.handleKey(step % 2 == 0 ? kRightArrowCode : kLeftArrowCode);
        }
        ++step;
        benchmark::DoNotOptimize(screen.compose(editor, kFacts, kColumns, kLines));
    }
}

void BM_KeyToScreenMovingTheCursor(benchmark::State& state) { keyToScreen(state, false); }
void BM_KeyToScreenChangingACell(benchmark::State& state) { keyToScreen(state, true); }
BENCHMARK(BM_KeyToScreenMovingTheCursor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyToScreenChangingACell)->Unit(benchmark::kMillisecond);

}  // namespace
