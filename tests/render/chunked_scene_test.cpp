#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "render/face.h"
#include "render/face_chunks.h"
#include "render/level_geometry.h"
#include "render/projection.h"
#include "render/scene.h"
#include "render/view_culling.h"
#include "render/view_slopes.h"
#include "sim/entity.h"
#include "support/generated_levels.h"
#include "support/plain_view.h"
#include "world/level.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

using testing::plainView;

// The same quads in the same order; on a difference, where the lists first part.
::testing::AssertionResult sameQuads(const std::vector<ScreenQuad>& actual,
                                     const std::vector<ScreenQuad>& expected) {
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (a == actual.end() && e == expected.end()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actual.size() << " quads against " << expected.size()
                                         << ", first different at " << (a - actual.begin());
}

struct TestLevel {
    const char* name;
    std::string text;
    std::int32_t cameras;
};

// Small enough for the plain pipeline to be run hundreds of times, large enough for many chunks.
std::vector<TestLevel> testLevels() {
    return {
        {"built-in", levelTable()[0], 200},
        {"scattered blocks and exits", testing::scatteredText(40, 7, 33, 5, 3), 120},
        {"city", testing::cityLevelText(64, 48, 10), 80},
        {"maze tower", testing::mazeTowerText(24), 80},
    };
}

// Headings the game gives (quarter turns and the steps of a turn under way), and any at all.
double randomYaw(std::mt19937& random) {
    switch (random() % 4) {
    case 0: return 90.0 * static_cast<double>(random() % 4);
    case 1: return 4.5 * static_cast<double>(random() % 80) - 180.0;
    case 2: return std::uniform_real_distribution<double>(-720.0, 720.0)(random);
    default: return std::uniform_real_distribution<double>(0.0, 360.0)(random);
    }
}

// Cell centres, the half cells of a step or a climb under way, and any point in and around the
// level, a little outside it included.
double randomCoordinate(std::mt19937& random, std::int32_t size) {
    const double whole =
        static_cast<double>(static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(size + 4)) - 2);
    switch (random() % 3) {
    case 0: return whole;
    case 1: return whole + 0.5;
    default: return whole + std::uniform_real_distribution<double>(0.0, 1.0)(random);
    }
}

// A few enemies around the camera, some in view and some not, at any heading.
FaceList enemyFacesNear(std::mt19937& random, const Level& level, Vec3 camera) {
    FaceList faces;
    const auto count = random() % 5;
    for (std::uint32_t i = 0; i < count; ++i) {
        EnemyEntity enemy(level);
        enemy.displayPosition = {camera.x + std::uniform_real_distribution<double>(-8.0, 8.0)(random),
                                 camera.y + std::uniform_real_distribution<double>(-2.0, 2.0)(random),
                                 camera.z + std::uniform_real_distribution<double>(-8.0, 8.0)(random)};
        enemy.yaw = randomYaw(random);
        faces = appendFaces(std::move(faces), enemy.buildModel());
    }
    return faces;
}

TEST(ChunkedSceneTest, FaceChunksHoldTheLevelFacesInListOrder) {
    for (const TestLevel& test : testLevels()) {
        SCOPED_TRACE(test.name);
        const Level level(test.text);
        const FaceChunks chunks(level);
        const FaceList faces = buildLevelFaces(level);
        EXPECT_EQ(chunks.faceCount(), faces.size());
        EXPECT_EQ(chunks.listFaces(), faces);
    }
    EXPECT_EQ(FaceChunks(Level()).faceCount(), 0U);
    EXPECT_EQ(FaceChunks(Level()).countX(), 0);
}

TEST(ChunkedSceneTest, RandomCamerasSeeExactlyWhatThePlainPipelineShows) {
    std::mt19937 random(14);
    for (const TestLevel& test : testLevels()) {
        const Level level(test.text);
        const FaceChunks chunks(level);
        const FaceList levelFaces = buildLevelFaces(level);
        std::int32_t facesSeen = 0;
        for (std::int32_t i = 0; i < test.cameras; ++i) {
            const Vec3 camera{randomCoordinate(random, level.sizeX()), randomCoordinate(random, level.sizeY()),
                              randomCoordinate(random, level.sizeZ())};
            const double yaw = randomYaw(random);
            const FaceList enemies = enemyFacesNear(random, level, camera);
            SCOPED_TRACE(::testing::Message() << test.name << ": camera " << camera.x << ", " << camera.y
                                              << ", " << camera.z << ", yaw " << yaw);
            const std::vector<ScreenQuad> expected = plainView(appendFaces(levelFaces, enemies), camera, yaw);
            ASSERT_TRUE(sameQuads(renderScene(ViewSettings{}, chunks, enemies, camera, yaw), expected));
            facesSeen += static_cast<std::int32_t>(expected.size());
        }
        // The cameras saw something: a comparison of empty views proves nothing.
        EXPECT_GT(facesSeen, test.cameras * 10) << test.name;
    }
}

TEST(ChunkedSceneTest, UnusualCamerasAndViewsStillMatch) {
    const Level level(testing::cityLevelText(48, 48, 0));
    const FaceChunks chunks(level);
    const FaceList faces = buildLevelFaces(level);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Vec3 cameras[] = {{8, 1, 0}, {1e6, 1, 1e6}, {-40, 30, -40}, {24, 1, inf}};
    const double yaws[] = {0.0, -0.0, 45.0, 1e7, 1e12, inf, nan};
    for (const Vec3& camera : cameras) {
        for (const double yaw : yaws) {
            SCOPED_TRACE(::testing::Message()
                         << "camera " << camera.x << ", " << camera.y << ", " << camera.z << ", yaw " << yaw);
            const std::vector<ScreenQuad> expected = plainView(faces, camera, yaw);
            const std::vector<ScreenQuad> actual = renderScene(ViewSettings{}, chunks, {}, camera, yaw);
            if (std::isfinite(yaw)) {
                EXPECT_TRUE(sameQuads(actual, expected));
            } else {
                // Every corner is lost to NaN and every face kept; their keys compare neither
                // way, so no order among them is more right than another.
                EXPECT_EQ(actual.size(), expected.size());
            }
        }
    }
    // Standing between an exit's side and the mark just in front of it, looking away: the mark,
    // which reaches beyond the exit's cell, is drawn as the plain pipeline draws it.
    const Level exitLevel("003001003p000E0000");
    const Vec3 betweenSideAndMark{1, 0, 1.5005};
    EXPECT_TRUE(sameQuads(renderScene(ViewSettings{}, FaceChunks(exitLevel), {}, betweenSideAndMark, 0.0),
                          plainView(buildLevelFaces(exitLevel), betweenSideAndMark, 0.0)));
    // Views wider and narrower than the game's, and views fitted to windows of any shape: the
    // chunks follow the view's slopes.
    ViewSettings wide;
    wide.horizontalFov = 120;
    wide.verticalFov = 90;
    ViewSettings narrow;
    narrow.horizontalFov = 20;
    narrow.verticalFov = 10;
    const ViewSettings views[] = {wide, narrow, fittedView(ViewSettings{}, 250, 70, 2.0),
                                  fittedView(ViewSettings{}, 40, 100, 2.0),
                                  fittedView(ViewSettings{}, 91, 60, 1.0)};
    for (const ViewSettings& view : views) {
        for (const double yaw : {0.0, 30.0, 90.0, 301.5}) {
            const Vec3 camera{20.5, 2, 3.25};
            SCOPED_TRACE(::testing::Message() << view.columns << " x " << view.rows << ", yaw " << yaw);
            EXPECT_TRUE(
                sameQuads(renderScene(view, chunks, {}, camera, yaw), plainView(faces, camera, yaw, view)));
        }
    }
}

TEST(ChunkedSceneTest, ChunkBoxTestDropsOnlyBoxesWhollyOutOfView) {
    const ViewSlopes slopes = viewSlopes(ViewSettings{});
    const ViewTurn straight{1.0, 0.0};
    struct Case {
        FaceBounds box;
        bool out = false;
    };
    const Case cases[] = {
        {{{-1, -1, 2}, {1, 1, 3}}, false},    // straight ahead
        {{{-1, -1, -9}, {1, 1, -2}}, true},   // behind
        {{{-1, -1, -2}, {1, 1, 2}}, false},   // around the camera
        {{{-1, -1, 31}, {1, 1, 40}}, true},   // beyond the drawing distance
        {{{-1, -1, 29}, {1, 1, 40}}, false},  // reaching into it
        {{{20, -1, 5}, {24, 1, 9}}, true},    // far to the right
        {{{-24, -1, 5}, {-20, 1, 9}}, true},  // far to the left
        {{{-1, 12, 5}, {1, 14, 9}}, true},    // far above
        {{{-1, -14, 5}, {1, -12, 9}}, true},  // far below
        {{{6, -1, 5}, {7, 1, 9}}, false},     // a face's reach beside the edge
    };
    for (const Case& c : cases) {
        EXPECT_EQ(boxCertainlyOutOfView(c.box, straight, slopes), c.out)
            << c.box.least.x << ", " << c.box.least.y << ", " << c.box.least.z;
    }
}

}  // namespace
}  // namespace brickstorm
