#include "render/projection.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "render/face.h"
#include "render/frame_buffer.h"

namespace brickstorm {
namespace {

Face faceOf(Vec3 a, Vec3 b, Vec3 c, Vec3 d, unsigned char fill = kFillFullBlock) {
    return Face{{a, b, c, d}, fill};
}

// A face whose four corners are one point: enough to follow one corner through an operation.
Face pointFace(Vec3 corner) { return faceOf(corner, corner, corner, corner); }

// Bit for bit, so that -0.0 and 0.0 differ.
bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
bool sameBits(const Vec3& a, const Vec3& b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z);
}

TEST(ProjectionTest, TranslateMovesEveryCorner) {
    FaceList faces{faceOf({0, 0, 0}, {1, 2, 3}, {-1, -2, -3}, {0.5, 0.25, 8}), pointFace({7, 7, 7})};
    translateFaces(faces, -8, 1, 0.5);
    EXPECT_EQ(faces[0], faceOf({-8, 1, 0.5}, {-7, 3, 3.5}, {-9, -1, -2.5}, {-7.5, 1.25, 8.5}));
    EXPECT_EQ(faces[1], pointFace({-1, 8, 7.5}));
}

struct RotationCase {
    const char* name;
    double degrees;
    Vec3 corner;
    Vec3 expected;
    double tolerance;  // 0: exactly these bits
};

void PrintTo(const RotationCase& c, std::ostream* os) { *os << c.name; }

class ProjectionRotationTest : public ::testing::TestWithParam<RotationCase> {};

TEST_P(ProjectionRotationTest, TurnsAboutTheVerticalAxis) {
    const RotationCase& c = GetParam();
    FaceList faces{pointFace(c.corner)};
    rotateFaces(faces, c.degrees);
    const Vec3 turned = faces[0].corners[0];
    if (c.tolerance == 0.0) {
        EXPECT_TRUE(sameBits(turned, c.expected)) << turned.x << ", " << turned.y << ", " << turned.z;
    } else {
        EXPECT_NEAR(turned.x, c.expected.x, c.tolerance);
        EXPECT_EQ(turned.y, c.expected.y);
        EXPECT_NEAR(turned.z, c.expected.z, c.tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(ProjectionTurns, ProjectionRotationTest,
                         ::testing::Values(
                             // The general formula would move these corners by a rounding error or two.
                             RotationCase{"Zero", 0.0, {0.1, 0.7, 0.3}, {0.1, 0.7, 0.3}, 0.0},
                             RotationCase{"NegativeZero", -0.0, {-2.3, 1.5, 7.9}, {-2.3, 1.5, 7.9}, 0.0},
                             RotationCase{"Quarter", 90.0, {1.1, 2.0, 3.3}, {3.3, 2.0, -1.1}, 0.0},
                             RotationCase{"Half", 180.0, {1.1, 2.0, 3.3}, {-1.1, 2.0, -3.3}, 0.0},
                             RotationCase{"ThreeQuarters", 270.0, {1.1, 2.0, 3.3}, {-3.3, 2.0, 1.1}, 0.0},
                             RotationCase{"Eighth", 45.0, {1.0, 0.5, 0.0}, {0.70711, 0.5, -0.70711}, 1e-5},
                             RotationCase{"MinusQuarter", -90.0, {1.0, -0.5, 0.0}, {0.0, -0.5, 1.0}, 1e-8}),
                         [](const ::testing::TestParamInfo<RotationCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ProjectionTest, MinusQuarterTurnTakesTheGeneralFormula) {
    // pi is not exact, so the general formula leaves a trace the exact cases never do.
    FaceList faces{pointFace({1.0, 0.0, 0.0})};
    rotateFaces(faces, -90.0);
    EXPECT_NE(faces[0].corners[0].x, 0.0);
}

struct ProjectionCase {
    Vec3 corner;
    ScreenPoint expected;
};

TEST(ProjectionTest, ProjectsCornersOntoTheFrame) {
    const ProjectionCase cases[] = {
        {{0.0, 0.0, 1.0}, {45, 30}},         // straight ahead: the centre
        {{0.57735027, 0.0, 1.0}, {90, 30}},  // the right edge of the view
        {{0.0, 0.36397023, 1.0}, {45, 0}},   // the top edge of the view
        {{-0.25, 0.1, 0.5}, {6, 14}},        // round(6.03), round(13.52)
        {{-0.57735027, -0.36397023, 1.0}, {0, 60}},
        {{40.0, -3.0, 2.0}, {1604, 154}},  // outside the frame: kept as it is, clipped when filled
    };
    for (const ProjectionCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.corner.x << ", " << c.corner.y << ", " << c.corner.z);
        EXPECT_EQ(projectFace(ViewSettings{}, pointFace(c.corner)).points[0], c.expected);
    }
}

TEST(ProjectionTest, KeepsCornerOrderFillAndKindAndTakesTheMeanDepth) {
    Face face = faceOf({0, 0, 1}, {0.57735027, 0, 1}, {0, 0.36397023, 1}, {-0.25, 0.1, 0.5}, kFillDarkShade);
    face.kind = FaceKind::ExitWindow;
    const ScreenQuad quad = projectFace(ViewSettings{}, face);
    EXPECT_EQ(
        quad,
        (ScreenQuad{{{{45, 30}, {90, 30}, {45, 0}, {6, 14}}}, kFillDarkShade, FaceKind::ExitWindow, 0.875F}));
}

TEST(ProjectionTest, SameDirectionSameColumnAtAnyDepth) {
    const double column = projectFace(ViewSettings{}, pointFace({0.2, 0.0, 1.0})).points[0].column;
    EXPECT_EQ(column, 61);
    for (const double depth : {3.0, 7.0, 25.0, 29.5}) {
        EXPECT_EQ(projectFace(ViewSettings{}, pointFace({0.2 * depth, 0.0, depth})).points[0].column, column)
            << "depth " << depth;
    }
}

// A corner barely in front of the camera lands far outside any int; the last depth makes the
// formula itself overflow to infinity.
constexpr double kTinyDepths[] = {1e-7, 1e-12, 1e-200, 1e-320};

TEST(ProjectionNearPlaneTest, FarPointsStayWholeFiniteAndOnTheirRay) {
    const double halfWidthSlope = std::tan(30 * kRenderPi / 180);
    const double halfHeightSlope = std::tan(20 * kRenderPi / 180);
    const double rayColumns = 45 * 1.0 / halfWidthSlope;  // offset per unit of 1 / depth, x = 1
    const double rayRows = -30 * -1.0 / halfHeightSlope;  // y = -1
    for (const double depth : kTinyDepths) {
        SCOPED_TRACE(::testing::Message() << "depth " << depth);
        const ScreenPoint p = projectFace(ViewSettings{}, pointFace({1.0, -1.0, depth})).points[0];
        for (const double value : {p.column, p.row}) {
            ASSERT_TRUE(std::isfinite(value));
            EXPECT_EQ(value, std::round(value));
            EXPECT_LE(std::abs(value), std::numeric_limits<std::int32_t>::max());
        }
        EXPECT_GT(p.column, 1e8);
        EXPECT_NEAR((p.column - 45) / (p.row - 30), rayColumns / rayRows, 1e-6);
    }
}

TEST(ProjectionNearPlaneTest, FarCornerCoversTheFrameAsItsDirectionSays) {
    // A face with three corners in view and one near the camera plane, down and to the right.
    auto frameFor = [](double depth) {
        const Face face = faceOf({-0.3, 0.2, 1.0}, {0.3, 0.2, 1.0}, {1.0, -1.0, depth}, {-0.3, -0.5, 1.0});
        FrameBuffer frame;
        frame.fillQuad(projectFace(ViewSettings{}, face));
        return frame;
    };
    const FrameBuffer reference = frameFor(1e-6);  // still within the int range
    ASSERT_GT(reference.filledCount, 0);
    ASSERT_LT(reference.filledCount, kFrameCells);
    for (const double depth : kTinyDepths) {
        SCOPED_TRACE(::testing::Message() << "depth " << depth);
        const FrameBuffer frame = frameFor(depth);
        EXPECT_EQ(frame.rows, reference.rows);
    }
}

}  // namespace
}  // namespace brickstorm
