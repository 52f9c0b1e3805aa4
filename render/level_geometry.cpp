#include "render/level_geometry.h"

#include <array>
#include <cstddef>

namespace brickstorm {

namespace {

constexpr double kHalf = 0.5;            // a block reaches half a cell from its centre
constexpr double kMarkDistance = 0.501;  // just in front of the exit's own side: nearer to a viewer
constexpr double kDoorHalfWidth = 0.3;
constexpr double kDoorTop = 0.25;  // the door stands on the cell's floor, at -kHalf
constexpr double kWindowHalfWidth = 0.2;
constexpr double kWindowBottom = 0.2;  // overlaps the door's top
constexpr double kWindowTop = 0.35;

// The step from a cell to one of its neighbours.
struct CellStep {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t dz = 0;
};

// Corners of a face as offsets from the centre of its cell, in drawing order.
using CornerOffsets = std::array<Vec3, 4>;

// A side of a block: the face and the neighbour whose block hides it.
struct BlockSide {
    CellStep neighbour;
    CornerOffsets corners;
    unsigned char fill = 0;
    FaceKind kind = FaceKind::BlockSideX;
};

// Short names keep the tables below readable as rows of corners.
constexpr double h = kHalf;
constexpr FaceKind kTopOrBottom = FaceKind::BlockTopBottom;
constexpr FaceKind kSideX = FaceKind::BlockSideX;
constexpr FaceKind kSideZ = FaceKind::BlockSideZ;

// The appending order of a block's sides: top, bottom, low x, high x, low z, high z.
constexpr std::array<BlockSide, 6> kBlockSides{{
    {{0, 1, 0}, {{{-h, h, h}, {h, h, h}, {h, h, -h}, {-h, h, -h}}}, kFillMediumShade, kTopOrBottom},
    {{0, -1, 0}, {{{-h, -h, h}, {h, -h, h}, {h, -h, -h}, {-h, -h, -h}}}, kFillMediumShade, kTopOrBottom},
    {{-1, 0, 0}, {{{-h, h, h}, {-h, h, -h}, {-h, -h, -h}, {-h, -h, h}}}, kFillFullBlock, kSideX},
    {{1, 0, 0}, {{{h, h, h}, {h, h, -h}, {h, -h, -h}, {h, -h, h}}}, kFillFullBlock, kSideX},
    {{0, 0, -1}, {{{-h, h, -h}, {h, h, -h}, {h, -h, -h}, {-h, -h, -h}}}, kFillDarkShade, kSideZ},
    {{0, 0, 1}, {{{-h, h, h}, {h, h, h}, {h, -h, h}, {-h, -h, h}}}, kFillDarkShade, kSideZ},
}};

// A horizontal side of the exit: the neighbour whose block hides it, then its door and window.
struct ExitSide {
    CellStep neighbour;
    CornerOffsets door;
    CornerOffsets window;
};

constexpr double m = kMarkDistance;
constexpr double dw = kDoorHalfWidth;
constexpr double dt = kDoorTop;
constexpr double ww = kWindowHalfWidth;
constexpr double wb = kWindowBottom;
constexpr double wt = kWindowTop;

// The marking order of the exit's sides: low z, high z, low x, high x.
constexpr std::array<ExitSide, 4> kExitSides{{
    {{0, 0, -1},
     {{{-dw, dt, -m}, {dw, dt, -m}, {dw, -h, -m}, {-dw, -h, -m}}},
     {{{-ww, wb, -m}, {ww, wb, -m}, {ww, wt, -m}, {-ww, wt, -m}}}},
    {{0, 0, 1},
     {{{-dw, dt, m}, {dw, dt, m}, {dw, -h, m}, {-dw, -h, m}}},
     {{{-ww, wb, m}, {ww, wb, m}, {ww, wt, m}, {-ww, wt, m}}}},
    {{-1, 0, 0},
     {{{-m, dt, dw}, {-m, dt, -dw}, {-m, -h, -dw}, {-m, -h, dw}}},
     {{{-m, wt, ww}, {-m, wt, -ww}, {-m, wb, -ww}, {-m, wb, ww}}}},
    {{1, 0, 0},
     {{{m, dt, dw}, {m, dt, -dw}, {m, -h, -dw}, {m, -h, dw}}},
     {{{m, wt, ww}, {m, wt, -ww}, {m, wb, -ww}, {m, wb, ww}}}},
}};

// Only a block hides a side: the exit, empty cells, other letters and the outside do not.
bool hiddenBy(const Level& level, std::int32_t x, std::int32_t y, std::int32_t z, CellStep step) {
    return level.cellAt(x + step.dx, y + step.dy, z + step.dz) == kCellBlock;
}

// The face with the given corners placed around the centre of cell (x, y, z).
Face placedFace(std::int32_t x, std::int32_t y, std::int32_t z, const CornerOffsets& offsets,
                unsigned char fill, FaceKind kind) {
    const Vec3 centre{static_cast<double>(x), static_cast<double>(y), static_cast<double>(z)};
    Face face;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        face.corners[i] = {centre.x + offsets[i].x, centre.y + offsets[i].y, centre.z + offsets[i].z};
    }
    face.fill = fill;
    face.kind = kind;
    return face;
}

// The corners of face `kind`: a block's sides first, then the exit's doors and windows in pairs.
const CornerOffsets& cornersOf(std::uint8_t kind) {
    if (kind < kBlockSides.size()) {
        return kBlockSides[kind].corners;
    }
    const ExitSide& side = kExitSides[(kind - kBlockSides.size()) / 2];
    return (kind - kBlockSides.size()) % 2 == 0 ? side.door : side.window;
}

unsigned char fillOf(std::uint8_t kind) {
    return kind < kBlockSides.size() ? kBlockSides[kind].fill : kFillLightShade;
}

// What face `kind` is part of, for its colour.
FaceKind partOf(std::uint8_t kind) {
    if (kind < kBlockSides.size()) {
        return kBlockSides[kind].kind;
    }
    return (kind - kBlockSides.size()) % 2 == 0 ? FaceKind::ExitDoor : FaceKind::ExitWindow;
}

}  // namespace

LevelFaceKinds cellFaceKinds(const Level& level, std::int32_t x, std::int32_t y, std::int32_t z) {
    const char cell = level.cellAt(x, y, z);
    if (cell != kCellBlock && cell != kCellExit) {
        return 0;
    }
    LevelFaceKinds kinds = 0;
    std::uint8_t kind = 0;
    for (const BlockSide& side : kBlockSides) {
        if (!hiddenBy(level, x, y, z, side.neighbour)) {
            kinds |= LevelFaceKinds{1} << kind;
        }
        ++kind;
    }
    if (cell == kCellExit) {
        for (const ExitSide& side : kExitSides) {
            if (!hiddenBy(level, x, y, z, side.neighbour)) {
                kinds |= LevelFaceKinds{3} << kind;  // the door and the window
            }
            kind += 2;
        }
    }
    return kinds;
}

Face levelFace(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t kind) {
    return placedFace(x, y, z, cornersOf(kind), fillOf(kind), partOf(kind));
}

FaceList buildLevelFaces(const Level& level) {
    FaceList faces;
    for (std::int32_t x = 0; x < level.sizeX(); ++x) {
        for (std::int32_t y = 0; y < level.sizeY(); ++y) {
            for (std::int32_t z = 0; z < level.sizeZ(); ++z) {
                const LevelFaceKinds kinds = cellFaceKinds(level, x, y, z);
                for (std::uint8_t kind = 0; kind < kLevelFaceKindCount; ++kind) {
                    if ((kinds >> kind & 1U) != 0) {
                        faces.push_back(levelFace(x, y, z, kind));
                    }
                }
            }
        }
    }
    return faces;
}

void addBlockFaces(FaceList& faces, const Level& level, std::int32_t x, std::int32_t y, std::int32_t z) {
    for (const BlockSide& side : kBlockSides) {
        if (!hiddenBy(level, x, y, z, side.neighbour)) {
            faces.push_back(placedFace(x, y, z, side.corners, side.fill, side.kind));
        }
    }
}

void addExitFaces(FaceList& faces, const Level& level, std::int32_t x, std::int32_t y, std::int32_t z) {
    addBlockFaces(faces, level, x, y, z);
    for (const ExitSide& side : kExitSides) {
        if (!hiddenBy(level, x, y, z, side.neighbour)) {
            faces.push_back(placedFace(x, y, z, side.door, kFillLightShade, FaceKind::ExitDoor));
            faces.push_back(placedFace(x, y, z, side.window, kFillLightShade, FaceKind::ExitWindow));
        }
    }
}

}  // namespace brickstorm
