#include <gtest/gtest.h>

#include <array>

#include "render/face.h"
#include "sim/entity.h"
#include "tests/sim/sim_fixtures.h"

namespace brickstorm {
namespace {

using test::placedAt;

constexpr Vec3 kDrawnAt{3.0, 1.0, 5.0};

void expectCorners(const Face& face, const std::array<Vec3, 4>& expected) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(face.corners[i].x, expected[i].x, 1e-9);
        EXPECT_NEAR(face.corners[i].y, expected[i].y, 1e-9);
        EXPECT_NEAR(face.corners[i].z, expected[i].z, 1e-9);
    }
}

TEST(ModelTest, SixFacesInOrderAroundTheDrawnPosition) {
    const auto enemy = placedAt<EnemyEntity>(Level(), kDrawnAt);
    const FaceList faces = enemy.buildModel();
    ASSERT_EQ(faces.size(), 6U);

    // Box x 2.8..3.2, y 0.5..1.2, z 4.8..5.2.
    expectCorners(faces[0], {{{2.8, 1.2, 5.2}, {3.2, 1.2, 5.2}, {3.2, 1.2, 4.8}, {2.8, 1.2, 4.8}}});
    expectCorners(faces[1], {{{2.8, 0.5, 5.2}, {3.2, 0.5, 5.2}, {3.2, 0.5, 4.8}, {2.8, 0.5, 4.8}}});
    expectCorners(faces[2], {{{2.8, 1.2, 5.2}, {3.2, 1.2, 5.2}, {3.2, 0.5, 5.2}, {2.8, 0.5, 5.2}}});
    expectCorners(faces[3], {{{2.8, 1.2, 4.8}, {3.2, 1.2, 4.8}, {3.2, 0.5, 4.8}, {2.8, 0.5, 4.8}}});
    expectCorners(faces[4], {{{2.8, 1.2, 5.2}, {2.8, 1.2, 4.8}, {2.8, 0.5, 4.8}, {2.8, 0.5, 5.2}}});
    expectCorners(faces[5], {{{3.2, 1.2, 5.2}, {3.2, 1.2, 4.8}, {3.2, 0.5, 4.8}, {3.2, 0.5, 5.2}}});

    const std::array<unsigned char, 6> fills = {246, 246, 244, 244, 248, 248};
    for (std::size_t i = 0; i < fills.size(); ++i) {
        EXPECT_EQ(faces[i].fill, fills[i]) << "face " << i;
        EXPECT_EQ(faces[i].kind, FaceKind::Enemy) << "face " << i;
    }
}

// Facing +x with yaw 90, the front (+z side, 244) looks along +x and the -x flank along +z.
TEST(ModelTest, TurnedEnemyShowsItsFrontAlongItsFacing) {
    auto enemy = placedAt<EnemyEntity>(Level(), kDrawnAt, Facing::PlusX);
    ASSERT_EQ(enemy.yaw, 90.0);
    const FaceList faces = enemy.buildModel();
    ASSERT_EQ(faces.size(), 6U);

    expectCorners(faces[0], {{{3.2, 1.2, 5.2}, {3.2, 1.2, 4.8}, {2.8, 1.2, 4.8}, {2.8, 1.2, 5.2}}});
    expectCorners(faces[2], {{{3.2, 1.2, 5.2}, {3.2, 1.2, 4.8}, {3.2, 0.5, 4.8}, {3.2, 0.5, 5.2}}});
    expectCorners(faces[4], {{{3.2, 1.2, 5.2}, {2.8, 1.2, 5.2}, {2.8, 0.5, 5.2}, {3.2, 0.5, 5.2}}});
    EXPECT_EQ(faces[2].fill, 244);
    EXPECT_EQ(faces[4].fill, 248);
}

}  // namespace
}  // namespace brickstorm
