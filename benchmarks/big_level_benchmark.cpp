// The costs that grow with a level: starting it, one frame of the 3D view and one game tick,
// on generated levels far larger than the built-in one (a city, a tower of mazes, the largest
// level accepted), beside what the plain pipeline, which works on every face, paid for them.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/game_state.h"
#include "core/game_tick.h"
#include "core/level_loading.h"
#include "render/console.h"
#include "render/face_chunks.h"
#include "render/frame_buffer.h"
#include "render/level_geometry.h"
#include "render/projection.h"
#include "render/scene.h"
#include "support/generated_levels.h"
#include "support/null_console.h"
#include "world/level.h"
#include "world/level_table.h"

namespace {

using namespace brickstorm;

constexpr int kRepetitions = 3;
constexpr std::int32_t kCitySize = 256;
constexpr std::int32_t kCityEnemies = 100;
constexpr std::int32_t kTowerSize = 64;
constexpr std::int32_t kCameraCount = 64;

// Takes the frame text and drops it, so that only the rendering is measured.
class DiscardingConsole : public Console {
public:
    void clear() override {}
    void write(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
};

const std::string& cityText() {
    static const std::string text = testing::cityLevelText(kCitySize, kCitySize, kCityEnemies);
    return text;
}

const std::string& towerText() {
    static const std::string text = testing::mazeTowerText(kTowerSize);
    return text;
}

// The largest level accepted, 256 cells wide and deep and as high as the limit allows, every
// other cell a block: the most faces blocks can give it.
const std::string& largestText() {
    constexpr std::int32_t kSide = 256;
    constexpr auto kHeight = static_cast<std::int32_t>(kMaxLevelCells / (std::int64_t{kSide} * kSide));
    static const std::string text = testing::checkerboardText(kSide, kHeight, kSide);
    return text;
}

// The top of the column at (x, z): the first empty cell above its highest block.
std::int32_t standingHeight(const Level& level, std::int32_t x, std::int32_t z) {
    std::int32_t y = level.sizeY() - 1;
    while (y > 0 && level.cellAt(x, y - 1, z) != kCellBlock) {
        --y;
    }
    while (y < level.sizeY() && level.cellAt(x, y, z) != kCellEmpty) {
        ++y;
    }
    return y;
}

struct Camera {
    Vec3 position;
    double yaw = 0.0;
};

// Places a player may stand on anywhere in the level (streets, roofs, rooms), at any heading the
// game gives, mid-step and mid-turn ones included; the same on every run.
std::vector<Camera> camerasAnywhere(const Level& level) {
    std::mt19937 random(kCameraCount);
    std::vector<Camera> cameras;
    while (cameras.size() < static_cast<std::size_t>(kCameraCount)) {
        const auto x = static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(level.sizeX()));
        const auto z = static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(level.sizeZ()));
        const std::int32_t y = standingHeight(level, x, z);
        if (y >= level.sizeY()) {
            continue;
        }
        const double half = (random() % 2 == 0) ? 0.0 : 0.5;
        cameras.push_back({{x + half, static_cast<double>(y), static_cast<double>(z)},
                           4.5 * static_cast<double>(random() % 80)});
    }
    return cameras;
}

void measureSceneFrames(benchmark::State& state, const Level& level, const std::vector<Camera>& cameras) {
    const FaceChunks chunks(level);
    const ViewSettings view;
    FrameBuffer frame;
    testing::NullConsole console;
    std::size_t next = 0;
    std::size_t kept = 0;
    for (auto _ : state) {
        const Camera& camera = cameras[next++ % cameras.size()];
        const std::vector<ScreenQuad> quads = renderScene(view, chunks, {}, camera.position, camera.yaw);
        kept += quads.size();
        frame.drawQuads(quads, console);
    }
    state.counters["facesIn"] = static_cast<double>(chunks.faceCount());
    state.counters["facesKept"] = static_cast<double>(kept) / static_cast<double>(state.iterations());
}

// The plain pipeline as the render thread ran it: its own copy of every face, all moved,
// turned, culled and sorted.
void measurePlainFrames(benchmark::State& state, const Level& level, const std::vector<Camera>& cameras) {
    const FaceList faces = buildLevelFaces(level);
    const ViewSettings view;
    FrameBuffer frame;
    testing::NullConsole console;
    std::size_t next = 0;
    for (auto _ : state) {
        const Camera& camera = cameras[next++ % cameras.size()];
        FaceList copy = faces;
        frame.drawQuads(renderView(view, std::move(copy), camera.position, camera.yaw), console);
    }
    state.counters["facesIn"] = static_cast<double>(faces.size());
}

const Level& cityLevel() {
    static const Level level(cityText());
    return level;
}

const Level& towerLevel() {
    static const Level level(towerText());
    return level;
}

void CityFrameAnywhere(benchmark::State& state) {
    static const std::vector<Camera> cameras = camerasAnywhere(cityLevel());
    measureSceneFrames(state, cityLevel(), cameras);
}
BENCHMARK(CityFrameAnywhere)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

void CityFrameAtStart(benchmark::State& state) {
    measureSceneFrames(state, cityLevel(), {{cityLevel().playerStart, static_cast<double>(state.range(0))}});
}
BENCHMARK(CityFrameAtStart)
    ->ArgName("yaw")
    ->Arg(0)
    ->Arg(45)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

void CityFramePlainPipeline(benchmark::State& state) {
    measurePlainFrames(state, cityLevel(), {{cityLevel().playerStart, static_cast<double>(state.range(0))}});
}
BENCHMARK(CityFramePlainPipeline)->ArgName("yaw")->Arg(0)->Arg(45)->Unit(benchmark::kMillisecond);

void TowerFrameAnywhere(benchmark::State& state) {
    static const std::vector<Camera> cameras = camerasAnywhere(towerLevel());
    measureSceneFrames(state, towerLevel(), cameras);
}
BENCHMARK(TowerFrameAnywhere)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

void LargestLevelFrameAnywhere(benchmark::State& state) {
    static const Level level(largestText());
    static const std::vector<Camera> cameras = camerasAnywhere(level);
    measureSceneFrames(state, level, cameras);
}
BENCHMARK(LargestLevelFrameAnywhere)->Unit(benchmark::kMillisecond);

void BuiltInLevelScene(benchmark::State& state) {
    static const Level level(levelTable()[0]);
    measureSceneFrames(state, level, {{level.playerStart, static_cast<double>(state.range(0))}});
}
BENCHMARK(BuiltInLevelScene)
    ->ArgName("yaw")
    ->Arg(0)
    ->Arg(90)
    ->Arg(270)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

// Level start: parsing the string and building the world, faces and entities included.
void measureLevelStart(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        GameState game;
        game.render.drawScreen = kScreenGame;
        startLevel(game, Level(text));
        benchmark::DoNotOptimize(game.levelFaces.get());
    }
}

void CityLevelStart(benchmark::State& state) { measureLevelStart(state, cityText()); }
BENCHMARK(CityLevelStart)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

void TowerLevelStart(benchmark::State& state) { measureLevelStart(state, towerText()); }
BENCHMARK(TowerLevelStart)->Unit(benchmark::kMillisecond);

void LargestLevelStart(benchmark::State& state) { measureLevelStart(state, largestText()); }
BENCHMARK(LargestLevelStart)->Unit(benchmark::kMillisecond);

// What the plain pipeline paid: the whole face list built at level start, and copied on every
// tick into the scene.
void CityFaceListBuild(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildLevelFaces(cityLevel()).data());
    }
}
BENCHMARK(CityFaceListBuild)->Unit(benchmark::kMillisecond);

void CityFaceListCopy(benchmark::State& state) {
    static const FaceList faces = buildLevelFaces(cityLevel());
    for (auto _ : state) {
        FaceList copy = faces;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(CityFaceListCopy)->Unit(benchmark::kMillisecond);

// A city game: the player standing at `player`, and `count` enemies on the streets, either
// anywhere or all within reach of the player (who stands on a roof, where they cannot climb).
GameState cityGame(std::int32_t count, bool near) {
    GameState game;
    game.render.drawScreen = kScreenGame;
    startLevel(game, cityLevel());
    std::mt19937 random(static_cast<std::uint32_t>(count));
    if (near) {
        // A roof in the middle of the city, beside a street crossing.
        const std::int32_t x = kCitySize / 2 + testing::kCityStreet;
        const std::int32_t z = kCitySize / 2 + testing::kCityStreet;
        const Vec3 roof{static_cast<double>(x), static_cast<double>(standingHeight(cityLevel(), x, z)),
                        static_cast<double>(z)};
        game.player.position = game.player.displayPosition = roof;
    }
    game.enemies.clear();
    while (game.enemies.size() < static_cast<std::size_t>(count)) {
        const std::int32_t spread = near ? 16 : kCitySize;
        const std::int32_t x0 = near ? static_cast<std::int32_t>(game.player.position.x) - spread / 2 : 0;
        const std::int32_t z0 = near ? static_cast<std::int32_t>(game.player.position.z) - spread / 2 : 0;
        const std::int32_t x = x0 + testing::below(random, spread);
        const std::int32_t z = z0 + testing::below(random, spread);
        const bool farEnough = near || x + z >= testing::kCityFarEnough;
        if (standingHeight(cityLevel(), x, z) != 1 || !farEnough) {
            continue;  // only the streets
        }
        EnemyEntity enemy(game.level);
        enemy.position = enemy.displayPosition = {static_cast<double>(x), 1.0, static_cast<double>(z)};
        game.enemies.push_back(enemy);
    }
    return game;
}

// Ticks of a game in play: every few hundred ticks, before enemies can reach the player and end
// the game, it goes back to its start, outside the measured time.
void measureTicks(benchmark::State& state, const GameState& start) {
    constexpr std::int64_t kTicksPerRound = 200;
    GameState game = start;
    std::int64_t ticks = 0;
    std::int64_t playing = 0;
    for (auto _ : state) {
        gameTick(game);
        playing += game.screen == kScreenGame ? 1 : 0;
        if (++ticks % kTicksPerRound == 0) {
            state.PauseTiming();
            game = start;
            state.ResumeTiming();
        }
    }
    state.counters["enemies"] = static_cast<double>(start.enemies.size());
    state.counters["inPlay"] = static_cast<double>(playing) / static_cast<double>(ticks);  // should be 1
}

void CityTick(benchmark::State& state) {
    const bool near = state.range(1) != 0;
    measureTicks(state, cityGame(static_cast<std::int32_t>(state.range(0)), near));
}
BENCHMARK(CityTick)
    ->ArgNames({"enemies", "near"})
    ->Args({kCityEnemies, 0})
    ->Args({500, 0})
    ->Args({500, 1})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

void BuiltInLevelTick(benchmark::State& state) {
    GameState game;
    game.render.drawScreen = kScreenGame;
    startLevel(game, Level(levelTable()[0]));
    measureTicks(state, game);
}
BENCHMARK(BuiltInLevelTick)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

}  // namespace
