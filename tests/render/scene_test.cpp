#include "render/scene.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "render/face.h"
#include "render/frame_buffer.h"
#include "render/level_geometry.h"
#include "render/projection.h"
#include "support/recording_console.h"
#include "world/level.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

Face faceOf(Vec3 a, Vec3 b, Vec3 c, Vec3 d, unsigned char fill = kFillFullBlock) {
    return Face{{a, b, c, d}, fill};
}

// An upright face across x from `left` to `right` and y from `low` to `high`, at depth z.
Face wallAt(double left, double right, double low, double high, double z,
            unsigned char fill = kFillFullBlock) {
    return faceOf({left, low, z}, {right, low, z}, {right, high, z}, {left, high, z}, fill);
}

// The faces that survive culling, as seen from the origin looking along +z.
std::vector<ScreenQuad> seenFromOrigin(FaceList faces) {
    return renderView(ViewSettings{}, std::move(faces), Vec3{}, 0.0);
}

TEST(SceneTest, AppendKeepsBothListsInOrder) {
    const Face a = wallAt(0, 1, 0, 1, 5, kFillFullBlock);
    const Face b = wallAt(0, 1, 0, 1, 6, kFillDarkShade);
    const Face c = wallAt(0, 1, 0, 1, 7, kFillLightShade);
    EXPECT_EQ(appendFaces({a, b}, {c}), (FaceList{a, b, c}));
    EXPECT_EQ(appendFaces({}, {c, a}), (FaceList{c, a}));
    EXPECT_EQ(appendFaces({b}, {}), (FaceList{b}));
}

TEST(SceneTest, DepthKeyAveragesTheReachAlongEachAxis) {
    struct Case {
        Face face;
        double key = 0.0;
    };
    const Case cases[] = {
        {faceOf({-1, 0, 5}, {1, 0, 5}, {1, 1, 5}, {-1, 1, 5}), 6.5},
        {faceOf({-0.5, -0.5, 2}, {0.5, -0.5, 2}, {0.5, 0.5, 2}, {-0.5, 0.5, 2}), 3.0},
        // A span across the axis counts as much as one of the same reach beside it.
        {faceOf({0, 0, 5}, {2, 0, 5}, {2, 1, 5}, {0, 1, 5}), 6.5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(depthKey(c.face), c.key);
    }
}

struct CullCase {
    const char* name;
    Face face;
    bool kept;
};

void PrintTo(const CullCase& c, std::ostream* os) { *os << c.name; }

class SceneCullTest : public ::testing::TestWithParam<CullCase> {};

TEST_P(SceneCullTest, DropsWhatCannotShow) {
    EXPECT_EQ(seenFromOrigin({GetParam().face}).size(), GetParam().kept ? 1U : 0U);
}

// tan(30 degrees) * 10 is about 5.7735, tan(20 degrees) * 10 about 3.6397.
INSTANTIATE_TEST_SUITE_P(
    SceneCulling, SceneCullTest,
    ::testing::Values(CullCase{"OnCameraPlane", wallAt(-1, 1, -1, 1, 0.0), false},
                      CullCase{"BehindCamera", faceOf({-1, 0, -1}, {1, 0, -1}, {1, 0, 0}, {-1, 0, 0}), false},
                      CullCase{"FarthestExactlyAtDrawDistance",
                               faceOf({-1, 0, 29}, {1, 0, 29}, {1, 0, 30}, {-1, 0, 30}), true},
                      CullCase{"FarthestJustBeyond",
                               faceOf({-1, 0, 29}, {1, 0, 29}, {1, 0, 30.000001}, {-1, 0, 30}), false},
                      CullCase{"WhollyRight", wallAt(5.78, 6.5, 0, 1, 10), false},
                      CullCase{"ReachingIntoViewFromRight", wallAt(5.0, 6.5, 0, 1, 10), true},
                      CullCase{"WhollyLeft", wallAt(-6.5, -5.78, 0, 1, 10), false},
                      CullCase{"WhollyAbove", wallAt(-1, 1, 3.65, 4, 10), false},
                      CullCase{"ReachingIntoViewFromAbove", wallAt(-1, 1, 3.6, 4, 10), true},
                      CullCase{"WhollyBelow", wallAt(-1, 1, -4, -3.65, 10), false},
                      CullCase{"CrossingCameraPlane",
                               faceOf({-1, -0.5, -1}, {1, -0.5, -1}, {1, -0.5, 5}, {-1, -0.5, 5}), true}),
    [](const ::testing::TestParamInfo<CullCase>& info) { return std::string(info.param.name); });

TEST(SceneTest, CornersOnOrBehindTheCameraPlaneMoveToTheNearDepth) {
    const Face floored = faceOf({-1, -0.5, kNearDepth}, {1, -0.5, kNearDepth}, {1, -0.5, 5}, {-1, -0.5, 5});
    for (const double rearDepth : {-1.0, 0.0}) {
        SCOPED_TRACE(::testing::Message() << "rear depth " << rearDepth);
        const Face floor = faceOf({-1, -0.5, rearDepth}, {1, -0.5, rearDepth}, {1, -0.5, 5}, {-1, -0.5, 5});
        const std::vector<ScreenQuad> quads = seenFromOrigin({floor});
        ASSERT_EQ(quads.size(), 1U);
        EXPECT_EQ(quads[0], projectFace(ViewSettings{}, floored));
    }
    const ScreenPoint rear = projectFace(ViewSettings{}, floored).points[0];
    EXPECT_LT(rear.column, 0);  // far out to the left
    EXPECT_GT(rear.row, 59);    // and far below
}

TEST(SceneTest, DrawsNearestFirstAndEqualKeysInListOrder) {
    const Face far = faceOf({-1, 0, 5}, {1, 0, 5}, {1, 1, 5}, {-1, 1, 5}, kFillDarkShade);  // key 6.5
    const Face near = wallAt(-0.5, 0.5, -0.5, 0.5, 2, kFillMediumShade);                    // key 3.0
    const Face twin = wallAt(-0.5, 0.5, -0.5, 0.5, 2, kFillLightShade);                     // key 3.0
    const std::vector<ScreenQuad> quads = seenFromOrigin({far, near, twin});
    ASSERT_EQ(quads.size(), 3U);
    EXPECT_EQ(quads[0].fill, kFillMediumShade);
    EXPECT_EQ(quads[1].fill, kFillLightShade);
    EXPECT_EQ(quads[2].fill, kFillDarkShade);
}

TEST(SceneTest, CameraTurnedAlongPlusXSeesItAheadAndMinusZOnTheRight) {
    const Face ahead = faceOf({5, 0.5, 0.5}, {5, 0.5, -0.5}, {5, -0.5, -0.5}, {5, -0.5, 0.5}, kFillFullBlock);
    const Face minusZ =
        faceOf({-0.5, 0.5, -5}, {0.5, 0.5, -5}, {0.5, -0.5, -5}, {-0.5, -0.5, -5}, kFillDarkShade);
    const std::vector<ScreenQuad> quads = renderView(ViewSettings{}, {ahead, minusZ}, Vec3{}, 90.0);
    ASSERT_EQ(quads.size(), 1U);  // -z lies at the right, wholly outside the 60 degree view
    EXPECT_EQ(quads[0].fill, kFillFullBlock);
    EXPECT_EQ(quads[0].points[0].column + quads[0].points[1].column, 90);

    // Turned a little less, the -z face comes into the right half of the frame.
    const std::vector<ScreenQuad> turned = renderView(ViewSettings{}, {minusZ}, Vec3{}, 150.0);
    ASSERT_EQ(turned.size(), 1U);
    for (const ScreenPoint& p : turned[0].points) {
        EXPECT_GT(p.column, 45);
    }
}

// The built-in level alone, seen from the player's start.
const FaceList& builtInLevelFaces() {
    static const FaceList faces = buildLevelFaces(Level(levelTable()[0]));
    return faces;
}

constexpr Vec3 kStartCamera{8, 1, 0};

struct StartViewCase {
    double yaw;
    std::size_t faces;
    std::int32_t cells;
};

void PrintTo(const StartViewCase& c, std::ostream* os) { *os << "yaw " << c.yaw; }

class SceneStartViewTest : public ::testing::TestWithParam<StartViewCase> {};

TEST_P(SceneStartViewTest, KeepsAndFillsAsMuchAsExpected) {
    const std::vector<ScreenQuad> quads =
        renderView(ViewSettings{}, builtInLevelFaces(), kStartCamera, GetParam().yaw);
    EXPECT_EQ(quads.size(), GetParam().faces);
    FrameBuffer frame;
    for (const ScreenQuad& quad : quads) {
        frame.fillQuad(quad);
    }
    EXPECT_EQ(frame.filledCount, GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(SceneBuiltInLevel, SceneStartViewTest,
                         ::testing::Values(StartViewCase{0, 391, 3531}, StartViewCase{90, 44, 1451},
                                           StartViewCase{270, 96, 2634}, StartViewCase{180, 0, 0}));

std::string blankFrameText() {
    std::string line = std::string(kFrameColumns, ' ') + "#";
    std::string text = line;
    for (int r = 1; r < kFrameRows; ++r) {
        text += "\n" + line;
    }
    return text;
}

std::string drawnFrame(FaceList faces, Vec3 camera, double yaw) {
    FrameBuffer frame;
    testing::RecordingConsole console;
    frame.drawQuads(renderView(ViewSettings{}, std::move(faces), camera, yaw), console);
    return console.lastPage();
}

TEST(SceneTest, NothingInViewGivesABlankFrame) {
    EXPECT_EQ(drawnFrame({}, Vec3{}, 0.0), blankFrameText());
    EXPECT_EQ(drawnFrame(builtInLevelFaces(), kStartCamera, 180.0), blankFrameText());
}

TEST(SceneTest, StartViewMatchesTheStoredFrame) {
    std::ifstream file(BRICKSTORM_TEST_DATA "/builtin_level_start_yaw0.frame", std::ios::binary);
    ASSERT_TRUE(file) << "missing stored frame";
    const std::string stored{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(drawnFrame(builtInLevelFaces(), kStartCamera, 0.0), stored);
}

}  // namespace
}  // namespace brickstorm
