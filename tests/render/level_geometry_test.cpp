#include "render/level_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/face.h"
#include "world/level.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

struct PlacedLetter {
    std::int32_t x;
    std::int32_t y;
    std::int32_t z;
    char letter;
};

// An empty grid of the given size with a few cells set.
Level levelOf(std::int32_t sizeX, std::int32_t sizeY, std::int32_t sizeZ,
              const std::vector<PlacedLetter>& placed) {
    LevelCells cells(sizeY, LevelLayer(sizeZ, LevelRow(sizeX, kCellEmpty)));
    for (const PlacedLetter& p : placed) {
        cells[p.y][p.z][p.x] = p.letter;
    }
    return Level(sizeX, sizeY, sizeZ, cells, Vec3{}, {});
}

std::vector<FaceKind> kindsOf(const FaceList& faces) {
    std::vector<FaceKind> kinds;
    for (const Face& face : faces) {
        kinds.push_back(face.kind);
    }
    return kinds;
}

std::vector<unsigned char> fillsOf(const FaceList& faces) {
    std::vector<unsigned char> fills;
    for (const Face& face : faces) {
        fills.push_back(face.fill);
    }
    return fills;
}

constexpr unsigned char kTop = kFillMediumShade;  // tops and bottoms
constexpr unsigned char kXSide = kFillFullBlock;
constexpr unsigned char kZSide = kFillDarkShade;
constexpr unsigned char kMark = kFillLightShade;

TEST(GeometryBlockTest, LoneBlockHasSixFacesInOrder) {
    // Distinct coordinates on every axis, so that a swapped axis shows.
    const FaceList faces = buildLevelFaces(levelOf(3, 4, 5, {{1, 2, 3, kCellBlock}}));
    FaceList expected{
        {{{{0.5, 2.5, 3.5}, {1.5, 2.5, 3.5}, {1.5, 2.5, 2.5}, {0.5, 2.5, 2.5}}}, kTop},    // top
        {{{{0.5, 1.5, 3.5}, {1.5, 1.5, 3.5}, {1.5, 1.5, 2.5}, {0.5, 1.5, 2.5}}}, kTop},    // bottom
        {{{{0.5, 2.5, 3.5}, {0.5, 2.5, 2.5}, {0.5, 1.5, 2.5}, {0.5, 1.5, 3.5}}}, kXSide},  // low x
        {{{{1.5, 2.5, 3.5}, {1.5, 2.5, 2.5}, {1.5, 1.5, 2.5}, {1.5, 1.5, 3.5}}}, kXSide},  // high x
        {{{{0.5, 2.5, 2.5}, {1.5, 2.5, 2.5}, {1.5, 1.5, 2.5}, {0.5, 1.5, 2.5}}}, kZSide},  // low z
        {{{{0.5, 2.5, 3.5}, {1.5, 2.5, 3.5}, {1.5, 1.5, 3.5}, {0.5, 1.5, 3.5}}}, kZSide},  // high z
    };
    constexpr std::array kKinds{FaceKind::BlockTopBottom, FaceKind::BlockTopBottom, FaceKind::BlockSideX,
                                FaceKind::BlockSideX,     FaceKind::BlockSideZ,     FaceKind::BlockSideZ};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i].kind = kKinds[i];
    }
    EXPECT_EQ(faces, expected);
}

TEST(GeometryBlockTest, OnlyABlockHidesASide) {
    struct Case {
        char neighbour;
        std::size_t faces;
    };
    for (const Case c : {Case{kCellBlock, 5}, Case{kCellExit, 6}, Case{kCellEmpty, 6}, Case{'x', 6}}) {
        SCOPED_TRACE(::testing::Message() << "neighbour " << c.neighbour);
        const Level level = levelOf(2, 1, 1, {{0, 0, 0, kCellBlock}, {1, 0, 0, c.neighbour}});
        FaceList faces;
        addBlockFaces(faces, level, 0, 0, 0);
        EXPECT_EQ(faces.size(), c.faces);
    }
}

TEST(GeometryBlockTest, TwoBlocksAlongXShareNoSide) {
    const FaceList faces = buildLevelFaces(levelOf(2, 1, 1, {{0, 0, 0, kCellBlock}, {1, 0, 0, kCellBlock}}));
    ASSERT_EQ(faces.size(), 10U);
    // The first block lacks its high x side, the second its low x side.
    EXPECT_EQ(fillsOf(faces), (std::vector<unsigned char>{kTop, kTop, kXSide, kZSide, kZSide,  //
                                                          kTop, kTop, kXSide, kZSide, kZSide}));
    EXPECT_EQ(faces[2].corners[0].x, -0.5);
    EXPECT_EQ(faces[7].corners[0].x, 1.5);
}

TEST(GeometryBlockTest, GridEdgeHidesNothing) {
    EXPECT_EQ(buildLevelFaces(levelOf(1, 1, 1, {{0, 0, 0, kCellBlock}})).size(), 6U);
}

TEST(GeometryExitTest, OpenExitHasItsBlockThenDoorsAndWindows) {
    const FaceList faces = buildLevelFaces(levelOf(3, 4, 5, {{1, 2, 3, kCellExit}}));
    ASSERT_EQ(faces.size(), 6U + 8U);
    EXPECT_EQ(FaceList(faces.begin(), faces.begin() + 6),
              buildLevelFaces(levelOf(3, 4, 5, {{1, 2, 3, kCellBlock}})));
    const FaceList marks(faces.begin() + 6, faces.end());
    EXPECT_EQ(kindsOf(marks),
              (std::vector<FaceKind>{FaceKind::ExitDoor, FaceKind::ExitWindow, FaceKind::ExitDoor,
                                     FaceKind::ExitWindow, FaceKind::ExitDoor, FaceKind::ExitWindow,
                                     FaceKind::ExitDoor, FaceKind::ExitWindow}));
    const FaceList expected{
        // low z: door, then window
        {{{{0.7, 2.25, 2.499}, {1.3, 2.25, 2.499}, {1.3, 1.5, 2.499}, {0.7, 1.5, 2.499}}}, kMark},
        {{{{0.8, 2.2, 2.499}, {1.2, 2.2, 2.499}, {1.2, 2.35, 2.499}, {0.8, 2.35, 2.499}}}, kMark},
        // high z: door, then window
        {{{{0.7, 2.25, 3.501}, {1.3, 2.25, 3.501}, {1.3, 1.5, 3.501}, {0.7, 1.5, 3.501}}}, kMark},
        {{{{0.8, 2.2, 3.501}, {1.2, 2.2, 3.501}, {1.2, 2.35, 3.501}, {0.8, 2.35, 3.501}}}, kMark},
        // low x: door, then window
        {{{{0.499, 2.25, 3.3}, {0.499, 2.25, 2.7}, {0.499, 1.5, 2.7}, {0.499, 1.5, 3.3}}}, kMark},
        {{{{0.499, 2.35, 3.2}, {0.499, 2.35, 2.8}, {0.499, 2.2, 2.8}, {0.499, 2.2, 3.2}}}, kMark},
        // high x: door, then window
        {{{{1.501, 2.25, 3.3}, {1.501, 2.25, 2.7}, {1.501, 1.5, 2.7}, {1.501, 1.5, 3.3}}}, kMark},
        {{{{1.501, 2.35, 3.2}, {1.501, 2.35, 2.8}, {1.501, 2.2, 2.8}, {1.501, 2.2, 3.2}}}, kMark},
    };
    ASSERT_EQ(marks.size(), expected.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "mark " << i);
        EXPECT_EQ(marks[i].fill, expected[i].fill);
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_DOUBLE_EQ(marks[i].corners[k].x, expected[i].corners[k].x);
            EXPECT_DOUBLE_EQ(marks[i].corners[k].y, expected[i].corners[k].y);
            EXPECT_DOUBLE_EQ(marks[i].corners[k].z, expected[i].corners[k].z);
        }
    }
}

TEST(GeometryExitTest, BlockBesideAnExitKeepsItsSideAndTheExitLosesItsMarks) {
    const FaceList faces = buildLevelFaces(levelOf(2, 1, 1, {{0, 0, 0, kCellBlock}, {1, 0, 0, kCellExit}}));
    // The block: all six. The exit: five sides, then marks on low z, high z and high x only.
    EXPECT_EQ(fillsOf(faces), (std::vector<unsigned char>{kTop, kTop, kXSide, kXSide, kZSide, kZSide,  //
                                                          kTop, kTop, kXSide, kZSide, kZSide,          //
                                                          kMark, kMark, kMark, kMark, kMark, kMark}));
    EXPECT_EQ(faces[8].corners[0].x, 1.5);     // the exit's remaining x side is its high one
    EXPECT_EQ(faces[15].corners[0].x, 1.501);  // and so are its x marks
}

TEST(GeometryExitTest, TwoExitsSideBySideKeepEverything) {
    const FaceList faces = buildLevelFaces(levelOf(2, 1, 1, {{0, 0, 0, kCellExit}, {1, 0, 0, kCellExit}}));
    EXPECT_EQ(faces.size(), 2U * (6U + 8U));
}

TEST(GeometryLevelTest, ExitInTheHouseWallShowsTwoSidesAndFourMarks) {
    const Level level(levelTable()[0]);
    FaceList faces;
    addExitFaces(faces, level, 12, 1, 11);
    EXPECT_EQ(fillsOf(faces), (std::vector<unsigned char>{kZSide, kZSide, kMark, kMark, kMark, kMark}));
    EXPECT_EQ(faces[0].corners[0].z, 10.5);
    EXPECT_EQ(faces[1].corners[0].z, 11.5);
    for (const std::size_t i : {2U, 3U}) {
        EXPECT_DOUBLE_EQ(faces[i].corners[0].z, 10.499);
    }
    for (const std::size_t i : {4U, 5U}) {
        EXPECT_DOUBLE_EQ(faces[i].corners[0].z, 11.501);
    }
}

TEST(GeometryLevelTest, HasSevenHundredFortySixFaces) {
    EXPECT_EQ(buildLevelFaces(Level(levelTable()[0])).size(), 746U);
}

TEST(GeometryLevelTest, InvalidLevelHasNoFaces) {
    EXPECT_TRUE(buildLevelFaces(Level("not a level")).empty());
    EXPECT_TRUE(buildLevelFaces(Level("000000000")).empty());
}

}  // namespace
}  // namespace brickstorm
