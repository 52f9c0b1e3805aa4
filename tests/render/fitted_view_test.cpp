// The 3D view projected onto a window of any size and cell shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

#include "render/frame_buffer.h"
#include "render/projection.h"
#include "render/scene.h"
#include "render/view_slopes.h"

namespace brickstorm {
namespace {

struct FittedCase {
    std::int32_t windowColumns;
    std::int32_t windowLines;
    double cellAspect;
};

void PrintTo(const FittedCase& c, std::ostream* os) {
    *os << c.windowColumns << " x " << c.windowLines << ", cells " << c.cellAspect << " high";
}

ViewSettings fittedFor(const FittedCase& c) {
    return fittedView(ViewSettings{}, c.windowColumns - 1, c.windowLines, c.cellAspect);
}

// The cells a list of quads fills, in a frame of the view's size.
FrameBuffer filledFrame(const ViewSettings& view, const std::vector<ScreenQuad>& quads) {
    FrameBuffer frame(view.columns, view.rows);
    for (const ScreenQuad& quad : quads) {
        frame.fillQuad(quad);
    }
    return frame;
}

// The least and greatest filled column and row of a frame.
struct FilledBox {
    std::int32_t left = INT32_MAX;
    std::int32_t right = -1;
    std::int32_t top = INT32_MAX;
    std::int32_t bottom = -1;
};

FilledBox filledBox(const FrameBuffer& frame) {
    FilledBox box;
    for (std::int32_t r = 0; r < frame.rowCount; ++r) {
        for (std::int32_t c = 0; c < frame.columnCount; ++c) {
            if (frame.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] != 0) {
                box = {std::min(box.left, c), std::max(box.right, c), std::min(box.top, r),
                       std::max(box.bottom, r)};
            }
        }
    }
    return box;
}

// The front face of a unit cube straight ahead of the camera at `depth`.
Face unitSquareAhead(double depth) {
    return Face{
        {Vec3{-0.5, -0.5, depth}, Vec3{0.5, -0.5, depth}, Vec3{0.5, 0.5, depth}, Vec3{-0.5, 0.5, depth}},
        kFillFullBlock};
}

class FittedViewTest : public ::testing::TestWithParam<FittedCase> {};

TEST_P(FittedViewTest, TheViewCentreLandsOnTheCentreCell) {
    const ViewSettings view = fittedFor(GetParam());
    // A sliver far ahead on the view's axis covers the cells around the centre point only.
    const Face sliver{
        {Vec3{-0.01, -0.01, 20}, Vec3{0.01, -0.01, 20}, Vec3{0.01, 0.01, 20}, Vec3{-0.01, 0.01, 20}},
        kFillFullBlock};
    const ScreenQuad quad = projectFace(view, sliver);
    for (const ScreenPoint& point : quad.points) {
        EXPECT_NEAR(point.column, view.columns / 2.0, 0.5);
        EXPECT_NEAR(point.row, view.rows / 2.0, 0.5);
    }
}

TEST_P(FittedViewTest, AUnitCubeSpansColumnsAndRowsInTheCellShape) {
    const FittedCase& c = GetParam();
    const ViewSettings view = fittedFor(c);
    const std::vector<ScreenQuad> quads = renderView(view, {unitSquareAhead(2.0)}, Vec3{}, 0.0);
    ASSERT_EQ(quads.size(), 1U) << "culled although straight ahead";
    const auto& p = quads[0].points;
    const auto [left, right] = std::minmax({p[0].column, p[1].column, p[2].column, p[3].column});
    const auto [top, bottom] = std::minmax({p[0].row, p[1].row, p[2].row, p[3].row});
    // As wide as high on the glass: columns times a cell's width equal rows times its height,
    // give or take the rounding of each end to whole cells.
    EXPECT_NEAR(right - left, (bottom - top) * c.cellAspect, 1.0 + c.cellAspect);
    // And the horizontal angle is the full picture's 60 degrees across the columns.
    EXPECT_NEAR(right - left, view.columns / (2.0 * halfViewSlope(60) * 2.0), 1.0);
}

TEST_P(FittedViewTest, AFaceStraightAheadFillsTheFrameAroundItsCentre) {
    const ViewSettings view = fittedFor(GetParam());
    const FrameBuffer frame = filledFrame(view, renderView(view, {unitSquareAhead(6.0)}, Vec3{}, 0.0));
    ASSERT_GT(frame.filledCount, 0);
    const FilledBox box = filledBox(frame);
    // Centred to the cell: the free columns (rows) on either side differ by at most two.
    EXPECT_LE(std::abs(box.left - (view.columns - 1 - box.right)), 2);
    EXPECT_LE(std::abs(box.top - (view.rows - 1 - box.bottom)), 2);
}

INSTANTIATE_TEST_SUITE_P(Windows, FittedViewTest,
                         ::testing::Values(FittedCase{80, 24, 2}, FittedCase{120, 40, 2},
                                           FittedCase{160, 50, 2}, FittedCase{200, 60, 2},
                                           FittedCase{40, 15, 2}, FittedCase{80, 24, 1},
                                           FittedCase{120, 40, 1}, FittedCase{160, 50, 1},
                                           FittedCase{200, 60, 1}, FittedCase{40, 15, 1}));

TEST(FittedViewTest, VerticalAngleFollowsTheWindowAndTheCells) {
    // tan(v/2) = tan(30 degrees) x (lines x cell height) / (columns x cell width).
    const ViewSlopes slopes = viewSlopes(fittedView(ViewSettings{}, 79, 24, 2.0));
    EXPECT_DOUBLE_EQ(slopes.halfWidth, halfViewSlope(60));
    EXPECT_DOUBLE_EQ(slopes.halfHeight, halfViewSlope(60) * 48.0 / 79.0);
    EXPECT_EQ(slopes.columns, 79.0);
    EXPECT_EQ(slopes.rows, 24.0);
}

TEST(FittedViewTest, TheFullViewKeepsItsWholeDegreeAngles) {
    const ViewSlopes slopes = viewSlopes(ViewSettings{});
    EXPECT_EQ(slopes.halfWidth, halfViewSlope(60));
    EXPECT_EQ(slopes.halfHeight, halfViewSlope(40));
    EXPECT_EQ(slopes.columns, 90.0);
    EXPECT_EQ(slopes.rows, 60.0);
}

TEST(FittedViewTest, CullingUsesTheFittedAngles) {
    // A face seen 22 degrees above the axis: outside the full picture's 20 degrees, inside the 24 of a
    // 40 x 15 window of cells twice as tall as wide.
    const double depth = 10.0;
    const double rise = depth * 0.40;  // tan(22 degrees) is about 0.40
    const Face high{{Vec3{-0.5, rise, depth}, Vec3{0.5, rise, depth}, Vec3{0.5, rise + 0.3, depth},
                     Vec3{-0.5, rise + 0.3, depth}},
                    kFillFullBlock};
    EXPECT_TRUE(renderView(ViewSettings{}, {high}, Vec3{}, 0.0).empty());
    const ViewSettings fitted = fittedView(ViewSettings{}, 39, 15, 2.0);
    const std::vector<ScreenQuad> quads = renderView(fitted, {high}, Vec3{}, 0.0);
    ASSERT_EQ(quads.size(), 1U);
    EXPECT_GT(filledFrame(fitted, quads).filledCount, 0);
}

}  // namespace
}  // namespace brickstorm
