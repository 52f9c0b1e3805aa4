#include "editor/level_view.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "render/frame_picture.h"
#include "render/projection.h"
#include "render/scene.h"
#include "sim/entity.h"

namespace brickstorm::editor {

namespace {

// The chunks whose faces a change of the cells in `box` may change: a cell's faces depend on its
// neighbours too, so the box is taken one cell larger on every side.
void markChunks(const CellBox& box, const FaceChunks& chunks, std::vector<bool>& marked) {
    const auto range = [](std::int32_t low, std::int32_t high, std::int32_t count) {
        return std::pair{std::max((low - 1) / kChunkCells, 0), std::min((high + 1) / kChunkCells, count - 1)};
    };
    const auto [x0, x1] = range(box.low.x, box.high.x, chunks.countX());
    const auto [y0, y1] = range(box.low.y, box.high.y, chunks.countY());
    const auto [z0, z1] = range(box.low.z, box.high.z, chunks.countZ());
    for (std::int32_t cy = y0; cy <= y1; ++cy) {
        for (std::int32_t cz = z0; cz <= z1; ++cz) {
            for (std::int32_t cx = x0; cx <= x1; ++cx) {
                marked[(static_cast<std::size_t>(cy) * static_cast<std::size_t>(chunks.countZ()) +
                        static_cast<std::size_t>(cz)) *
                           static_cast<std::size_t>(chunks.countX()) +
                       static_cast<std::size_t>(cx)] = true;
            }
        }
    }
}

// The faces of the enemies that stand within the drawing distance of `camera`, each as the game
// draws an enemy at its start.
FaceList enemyFacesNear(const EditedLevel& level, const Level& shown, Vec3 camera) {
    const LevelSizes& sizes = level.sizes();
    const auto reach = static_cast<std::int32_t>(std::ceil(kDrawDistance)) + 1;
    const auto from = [&](double at) {
        return std::max(static_cast<std::int32_t>(std::floor(at)) - reach, 0);
    };
    const auto to = [&](double at, std::int32_t size) {
        return std::min(static_cast<std::int32_t>(std::floor(at)) + reach, size - 1);
    };
    FaceList faces;
    for (std::int32_t y = from(camera.y); y <= to(camera.y, sizes.y); ++y) {
        for (std::int32_t z = from(camera.z); z <= to(camera.z, sizes.z); ++z) {
            for (std::int32_t x = from(camera.x); x <= to(camera.x, sizes.x); ++x) {
                if (level.cells()[level.indexOf({x, y, z})] == kCellEnemyStart) {
                    EnemyEntity enemy(shown);
                    enemy.displayPosition = {static_cast<double>(x), static_cast<double>(y),
                                             static_cast<double>(z)};
                    const FaceList model = enemy.buildModel();
                    faces.insert(faces.end(), model.begin(), model.end());
                }
            }
        }
    }
    return faces;
}

}  // namespace

void LevelView::follow(EditedLevel& level) {
    const LevelChanges changes = level.takeChanges();
    if (!changes.whole && changes.boxes.empty()) {
        return;
    }
    const LevelSizes& sizes = level.sizes();
    // The faces depend only on where blocks and the exit stand: the starts may stay letters.
    level_ = Level::fromGrid(sizes.x, sizes.y, sizes.z, level.cells());
    if (changes.whole) {
        chunks_ = FaceChunks(level_);
        return;
    }
    std::vector<bool> marked(static_cast<std::size_t>(chunks_.countX()) *
                             static_cast<std::size_t>(chunks_.countY()) *
                             static_cast<std::size_t>(chunks_.countZ()));
    for (const CellBox& box : changes.boxes) {
        markChunks(box, chunks_, marked);
    }
    for (std::int32_t cy = 0; cy < chunks_.countY(); ++cy) {
        for (std::int32_t cz = 0; cz < chunks_.countZ(); ++cz) {
            for (std::int32_t cx = 0; cx < chunks_.countX(); ++cx) {
                if (marked[(static_cast<std::size_t>(cy) * static_cast<std::size_t>(chunks_.countZ()) +
                            static_cast<std::size_t>(cz)) *
                               static_cast<std::size_t>(chunks_.countX()) +
                           static_cast<std::size_t>(cx)]) {
                    chunks_.rebuildChunk(level_, cx, cy, cz);
                }
            }
        }
    }
}

Picture LevelView::draw(const EditedLevel& level, const ViewCamera& camera, std::int32_t columns,
                        std::int32_t lines, double cellAspect, std::optional<ColourDepth> colour) {
    const ViewSettings view = fittedView(ViewSettings{}, columns, lines, cellAspect);
    if (frame_.columnCount != columns || frame_.rowCount != lines) {
        frame_.resizeFrame(columns, lines);
    } else {
        frame_.clearFrame();
    }
    for (const ScreenQuad& quad : renderScene(view, chunks_, enemyFacesNear(level, level_, camera.position),
                                              camera.position, camera.yaw)) {
        frame_.fillQuad(quad);
    }
    return viewPicture(frame_, colour);
}

}  // namespace brickstorm::editor
