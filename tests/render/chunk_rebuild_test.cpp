// Chunks built anew after cells change: the faces come out as a fresh build of the changed level
// gives them, however many changes came before, and a frame sees the same picture.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "render/face_chunks.h"
#include "render/projection.h"
#include "render/scene.h"
#include "support/generated_levels.h"
#include "world/level.h"

namespace brickstorm {
namespace {

// The grid of a level as Level::fromGrid takes it.
std::string gridOf(const Level& level) {
    std::string cells;
    for (std::int32_t y = 0; y < level.sizeY(); ++y) {
        for (std::int32_t z = 0; z < level.sizeZ(); ++z) {
            for (std::int32_t x = 0; x < level.sizeX(); ++x) {
                cells += level.cellAt(x, y, z);
            }
        }
    }
    return cells;
}

// Rebuilds the chunks that a change of cell (x, y, z) may touch: its own and its neighbours'.
void rebuildAround(FaceChunks& chunks, const Level& level, std::int32_t x, std::int32_t y, std::int32_t z) {
    const auto chunkRange = [](std::int32_t cell, std::int32_t count) {
        return std::pair{std::max((cell - 1) / kChunkCells, 0), std::min((cell + 1) / kChunkCells, count - 1)};
    };
    const auto [x0, x1] = chunkRange(x, chunks.countX());
    const auto [y0, y1] = chunkRange(y, chunks.countY());
    const auto [z0, z1] = chunkRange(z, chunks.countZ());
    for (std::int32_t cy = y0; cy <= y1; ++cy) {
        for (std::int32_t cz = z0; cz <= z1; ++cz) {
            for (std::int32_t cx = x0; cx <= x1; ++cx) {
                chunks.rebuildChunk(level, cx, cy, cz);
            }
        }
    }
}

TEST(ChunkRebuildTest, ChangedCellsGiveTheFacesOfAFreshBuild) {
    const Level start(testing::scatteredText(30, 12, 27, 5, 3));
    std::string grid = gridOf(start);
    FaceChunks chunks(start);
    std::mt19937 random(7);
    const char letters[] = {'b', '0', 'E', 'e'};
    for (int change = 0; change < 600; ++change) {
        const auto x = static_cast<std::int32_t>(random() % 30);
        const auto y = static_cast<std::int32_t>(random() % 12);
        const auto z = static_cast<std::int32_t>(random() % 27);
        grid[(static_cast<std::size_t>(y) * 27 + static_cast<std::size_t>(z)) * 30 +
             static_cast<std::size_t>(x)] = letters[random() % 4];
        const Level level = Level::fromGrid(30, 12, 27, grid);
        rebuildAround(chunks, level, x, y, z);
        if (change % 50 == 0 || change == 599) {
            const FaceChunks fresh(level);
            ASSERT_EQ(chunks.faceCount(), fresh.faceCount()) << change;
            ASSERT_EQ(chunks.listFaces(), fresh.listFaces()) << change;
            const ViewSettings view;
            const Vec3 camera{static_cast<double>(x), static_cast<double>(y), static_cast<double>(z) - 3.0};
            ASSERT_EQ(renderScene(view, chunks, {}, camera, 0.0), renderScene(view, fresh, {}, camera, 0.0))
                << change;
        }
    }
}

TEST(ChunkRebuildTest, AGridOfTheWrongLengthGivesTheInvalidLevel) {
    EXPECT_EQ(Level::fromGrid(2, 1, 1, "bb").cellAt(1, 0, 0), 'b');
    EXPECT_EQ(Level::fromGrid(2, 1, 1, "bbb").sizeX(), -1);
    EXPECT_EQ(Level::fromGrid(0, 1, 1, "").sizeX(), -1);
}

}  // namespace
}  // namespace brickstorm
