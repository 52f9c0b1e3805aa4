#include "render/view_culling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "render/face.h"
#include "render/level_geometry.h"
#include "render/projection.h"
#include "render/scene.h"
#include "render/view_slopes.h"
#include "support/plain_view.h"
#include "world/level.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

// A busy level of random blocks, the same on every run.
FaceList randomLevelFaces() {
    constexpr std::int32_t kSize = 40;
    constexpr std::int32_t kHeight = 4;
    std::mt19937 random(7);
    LevelCells cells(kHeight, LevelLayer(kSize, LevelRow(kSize, kCellEmpty)));
    for (auto& layer : cells) {
        for (auto& row : layer) {
            for (char& cell : row) {
                cell = (random() % 8 == 0) ? kCellBlock : kCellEmpty;
            }
        }
    }
    return buildLevelFaces(Level(kSize, kHeight, kSize, cells, Vec3{}, {}));
}

TEST(SceneTurnShortcutTest, CheapTurnDropsOnlyFacesTheExactTurnDrops) {
    const FaceList scenes[] = {buildLevelFaces(Level(levelTable()[0])), randomLevelFaces()};
    // Whole cells, half cells (corners land on the camera plane), and odd points in between.
    const Vec3 cameras[] = {{8, 1, 0},        {8.5, 1, 0},  {8, 1, 0.5},
                            {3.25, 2.7, 6.5}, {12, 1, 9.5}, {10, 2.5, 10}};
    const double yaws[] = {0, 12.5, 45, 90, 135, 180, 225, 270, 300, 359.9, -90, 450, 1e7, 1e12};
    for (const FaceList& scene : scenes) {
        for (const Vec3& camera : cameras) {
            for (const double yaw : yaws) {
                SCOPED_TRACE(::testing::Message() << "camera " << camera.x << ", " << camera.y << ", "
                                                  << camera.z << ", yaw " << yaw);
                ASSERT_EQ(renderView(ViewSettings{}, scene, camera, yaw),
                          testing::plainView(scene, camera, yaw));
            }
        }
    }
}

TEST(SceneTurnShortcutTest, MatrixOnlyWhereTheExactTurnIsCostlyAndComparable) {
    EXPECT_TRUE(viewTurn(-270.0).has_value());
    EXPECT_FALSE(viewTurn(270.0).has_value());
    EXPECT_FALSE(viewTurn(1e12).has_value());
    EXPECT_FALSE(viewTurn(std::numeric_limits<double>::quiet_NaN()).has_value());
}

}  // namespace
}  // namespace brickstorm
