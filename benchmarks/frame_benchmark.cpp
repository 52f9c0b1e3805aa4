// The cost of one frame of the 3D view, as the render thread pays it: copying the published
// scene, bringing it into view, culling, sorting and projecting it, filling the frame and
// building the picture of cells.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "render/colour.h"
#include "render/console.h"
#include "render/face.h"
#include "render/face_chunks.h"
#include "render/frame_buffer.h"
#include "render/level_geometry.h"
#include "render/picture.h"
#include "render/projection.h"
#include "render/scene.h"
#include "support/null_console.h"
#include "terminal/byte_sink.h"
#include "terminal/output_encoding.h"
#include "terminal/picture_consoles.h"
#include "world/level.h"
#include "world/level_table.h"

// Every allocation of the benchmark program is counted, so that a benchmark can say how many a
// frame makes. Relaxed: only a count, read by the thread that allocated.
std::atomic<std::size_t> allocationCount{0};

void* operator new(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    // NOLINTNEXTLINE(cppcoreguidelines-no-malloc): this is the allocator the containers use
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }  // NOLINT(cppcoreguidelines-no-malloc)
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);  // NOLINT(cppcoreguidelines-no-malloc)
}

namespace {

using namespace brickstorm;

constexpr int kRepetitions = 5;

std::int32_t cellsFilled(const ViewSettings& view, const std::vector<ScreenQuad>& quads) {
    FrameBuffer frame(view.columns, view.rows);
    for (const ScreenQuad& quad : quads) {
        frame.fillQuad(quad);
    }
    return frame.filledCount;
}

void measureFrames(benchmark::State& state, const ViewSettings& view, double yaw, const FaceList& scene,
                   Vec3 camera) {
    const std::vector<ScreenQuad> quads = renderView(view, scene, camera, yaw);
    FrameBuffer frame(view.columns, view.rows);
    testing::NullConsole console;
    for (auto _ : state) {
        FaceList copy = scene;  // the render thread works on its own copy of the scene
        frame.drawQuads(renderView(view, std::move(copy), camera, yaw), console);
    }
    state.counters["facesIn"] = static_cast<double>(scene.size());
    state.counters["facesKept"] = static_cast<double>(quads.size());
    state.counters["cellsFilled"] = cellsFilled(view, quads);
}

void measureFrames(benchmark::State& state, const FaceList& scene, Vec3 camera) {
    measureFrames(state, ViewSettings{}, static_cast<double>(state.range(0)), scene, camera);
}

const FaceList& builtInLevelFaces() {
    static const FaceList faces = buildLevelFaces(Level(levelTable()[0]));
    return faces;
}

constexpr Vec3 kStartCamera{8, 1, 0};  // the player's start

void BuiltInLevelFrame(benchmark::State& state) { measureFrames(state, builtInLevelFaces(), kStartCamera); }
BENCHMARK(BuiltInLevelFrame)
    ->ArgName("yaw")
    ->Arg(0)
    ->Arg(90)
    ->Arg(270)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

// The view fitted to a window of columns x lines of ordinary cells (twice as tall as wide), from
// an 80 x 24 terminal to a 4K screen with a small font; looking along the level, where the most
// cells are filled.
void FittedBuiltInLevelFrame(benchmark::State& state) {
    const auto columns = static_cast<std::int32_t>(state.range(0));
    const auto lines = static_cast<std::int32_t>(state.range(1));
    const ViewSettings view = fittedView(ViewSettings{}, columns - 1, lines, 2.0);
    measureFrames(state, view, 0.0, builtInLevelFaces(), kStartCamera);
}
BENCHMARK(FittedBuiltInLevelFrame)
    ->ArgNames({"columns", "lines"})
    ->Args({80, 24})
    ->Args({200, 60})
    ->Args({400, 120})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

// A frame as the game's render thread draws it: the level's chunks that may show, the frame
// filled and its picture coloured (256 colours) for the console, all in memory kept from the
// frame before. Counts the allocations a frame makes once the first one is drawn: none is the
// aim, as a frame comes ten times a second for as long as the game runs.
void GameFrame(benchmark::State& state) {
    const auto columns = static_cast<std::int32_t>(state.range(0));
    const auto lines = static_cast<std::int32_t>(state.range(1));
    const ViewSettings view = columns == kFrameColumns + 1 && lines == kFrameRows
                                  ? ViewSettings{}
                                  : fittedView(ViewSettings{}, columns - 1, lines, 2.0);
    static const FaceChunks level{Level(levelTable()[0])};
    const FaceList noEnemies;
    FrameBuffer frame(view.columns, view.rows);
    SceneBuffers buffers;
    class ColourConsole : public Console {
    public:
        std::optional<ColourDepth> colourDepth() const override { return ColourDepth::Palette256; }

    private:
        void present(const Picture& picture, PictureChange) override { benchmark::DoNotOptimize(&picture); }
    } colourConsole;
    frame.drawQuads(renderScene(view, level, noEnemies, kStartCamera, 0.0, buffers), colourConsole);
    const std::size_t before = allocationCount.load(std::memory_order_relaxed);
    std::size_t frames = 0;
    for (auto _ : state) {
        frame.drawQuads(renderScene(view, level, noEnemies, kStartCamera, 0.0, buffers), colourConsole);
        ++frames;
    }
    state.counters["allocationsPerFrame"] =
        static_cast<double>(allocationCount.load(std::memory_order_relaxed) - before) /
        static_cast<double>(frames);
    state.counters["facesKept"] = static_cast<double>(buffers.quads.size());
}
BENCHMARK(GameFrame)
    ->ArgNames({"columns", "lines"})
    ->Args({91, 60})
    ->Args({80, 24})
    ->Args({400, 120})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

// A level far larger and busier than any built-in one: 64 x 8 x 64 cells, about one in four a
// block, always the same ones; the camera stands in its middle in a cell kept empty.
constexpr std::int32_t kLargeSize = 64;
constexpr std::int32_t kLargeHeight = 8;
constexpr std::uint32_t kLargeSeed = 20240611;
constexpr std::uint32_t kBlockOneIn = 4;
constexpr Vec3 kLargeCamera{32, 4, 32};

FaceList largeSceneFaces() {
    std::mt19937 random(kLargeSeed);  // the same sequence on every standard library
    LevelCells cells(kLargeHeight, LevelLayer(kLargeSize, LevelRow(kLargeSize, kCellEmpty)));
    for (auto& layer : cells) {
        for (auto& row : layer) {
            for (char& cell : row) {
                cell = (random() % kBlockOneIn == 0) ? kCellBlock : kCellEmpty;
            }
        }
    }
    cells[static_cast<std::size_t>(kLargeCamera.y)][static_cast<std::size_t>(kLargeCamera.z)]
         [static_cast<std::size_t>(kLargeCamera.x)] = kCellEmpty;
    return buildLevelFaces(Level(kLargeSize, kLargeHeight, kLargeSize, cells, kLargeCamera, {}));
}

void LargeSceneFrame(benchmark::State& state) {
    static const FaceList faces = largeSceneFaces();
    measureFrames(state, faces, kLargeCamera);
}
BENCHMARK(LargeSceneFrame)
    ->ArgName("yaw")
    ->Arg(0)
    ->Arg(45)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

// The same frame as the terminal's console pays for it as well: the picture of cells (with its
// colours), and the bytes of the whole picture made, as after a turn or a resize. The argument
// is the number of colours, 0 for monochrome: a coloured frame may cost at most twice a
// monochrome one.
class CountingSink : public terminal::ByteSink {
public:
    explicit CountingSink(std::size_t& lastBytes) : lastBytes_(lastBytes) {}
    terminal::Delivery deliver(std::string_view bytes) override {
        benchmark::DoNotOptimize(bytes.data());
        lastBytes_ = bytes.size();
        return terminal::Delivery::Delivered;
    }

private:
    std::size_t& lastBytes_;
};

std::optional<ColourDepth> colourDepthNamed(std::int64_t colours) {
    switch (colours) {
    case 16: return ColourDepth::Basic16;
    case 256: return ColourDepth::Palette256;
    case 24: return ColourDepth::Direct24;
    default: return std::nullopt;
    }
}

void EncodedBuiltInLevelFrame(benchmark::State& state) {
    const FaceList& scene = builtInLevelFaces();
    FrameBuffer frame;
    std::size_t lastBytes = 0;
    terminal::ControlSequenceConsole console(
        std::make_unique<CountingSink>(lastBytes),
        {terminal::encodeUtf8Cell, true, colourDepthNamed(state.range(0))});
    for (auto _ : state) {
        FaceList copy = scene;
        frame.drawQuads(renderView(ViewSettings{}, std::move(copy), kStartCamera, 0.0), console);
    }
    state.counters["bytes"] = static_cast<double>(lastBytes);
}
BENCHMARK(EncodedBuiltInLevelFrame)
    ->ArgName("colours")
    ->Arg(0)
    ->Arg(16)
    ->Arg(256)
    ->Arg(24)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

}  // namespace
