#include "render/face_chunks.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#include "render/level_geometry.h"

namespace brickstorm {

namespace {

// A ChunkFace: three bits for each coordinate within the chunk, four for the kind.
constexpr unsigned kCoordinateBits = 3;
constexpr unsigned kKindBits = 4;
constexpr unsigned kCoordinateMask = (1U << kCoordinateBits) - 1;
static_assert(kChunkCells == 1 << kCoordinateBits, "a chunk coordinate must fill its bits");
static_assert(kLevelFaceKindCount <= 1U << kKindBits, "every kind must fit its bits");
static_assert(3 * kCoordinateBits + kKindBits <= 16, "a chunk face must fit 16 bits");

// Twenty bits for each coordinate order every level a header of three digits can describe, and
// far more.
constexpr unsigned kPlaceCoordinateBits = 20;

ChunkFace packed(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t kind) {
    return static_cast<ChunkFace>(
        ((((static_cast<unsigned>(x) << kCoordinateBits) | static_cast<unsigned>(y)) << kCoordinateBits |
          static_cast<unsigned>(z))
         << kKindBits) |
        kind);
}

// The place of a face in buildLevelFaces' order: cells by x, then y, then z, then the kind.
std::uint64_t listPlace(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t kind) {
    std::uint64_t place = static_cast<std::uint64_t>(x);
    place = (place << kPlaceCoordinateBits) | static_cast<std::uint64_t>(y);
    place = (place << kPlaceCoordinateBits) | static_cast<std::uint64_t>(z);
    return (place << kKindBits) | kind;
}

// The number of chunks that cover `cells` cells.
std::int32_t chunksFor(std::int32_t cells) { return cells <= 0 ? 0 : (cells + kChunkCells - 1) / kChunkCells; }

// How far a level face reaches from the centre of its cell along any axis.
constexpr double kCellReach = 0.501;

void widen(FaceBounds& bounds, const FaceBounds& more) {
    bounds.least = {std::min(bounds.least.x, more.least.x), std::min(bounds.least.y, more.least.y),
                    std::min(bounds.least.z, more.least.z)};
    bounds.greatest = {std::max(bounds.greatest.x, more.greatest.x),
                       std::max(bounds.greatest.y, more.greatest.y),
                       std::max(bounds.greatest.z, more.greatest.z)};
}

}  // namespace

FaceChunks::FaceChunks(const Level& level)
    : countX_(chunksFor(level.sizeX())), countY_(chunksFor(level.sizeY())), countZ_(chunksFor(level.sizeZ())) {
    // Two passes over the cells, one to count and one to store: the faces are stored in a block
    // of exactly their size, so that the largest levels never need a second, growing copy.
    std::size_t total = 0;
    for (std::int32_t x = 0; x < level.sizeX(); ++x) {
        for (std::int32_t y = 0; y < level.sizeY(); ++y) {
            for (std::int32_t z = 0; z < level.sizeZ(); ++z) {
                total += static_cast<std::size_t>(std::popcount(cellFaceKinds(level, x, y, z)));
            }
        }
    }
    faces_.reserve(total);
    chunks_.reserve(static_cast<std::size_t>(countX_) * static_cast<std::size_t>(countY_) *
                    static_cast<std::size_t>(countZ_));
    for (std::int32_t cy = 0; cy < countY_; ++cy) {
        for (std::int32_t cz = 0; cz < countZ_; ++cz) {
            for (std::int32_t cx = 0; cx < countX_; ++cx) {
                addChunk(level, cx * kChunkCells, cy * kChunkCells, cz * kChunkCells);
            }
        }
    }
}

void FaceChunks::addChunk(const Level& level, std::int32_t x0, std::int32_t y0, std::int32_t z0) {
    FaceChunk& chunk = chunks_.emplace_back();
    chunk.x = x0;
    chunk.y = y0;
    chunk.z = z0;
    chunk.first = static_cast<std::uint32_t>(faces_.size());
    // Within the chunk, cell by cell in the face list's order.
    for (std::int32_t x = x0; x < std::min(x0 + kChunkCells, level.sizeX()); ++x) {
        for (std::int32_t y = y0; y < std::min(y0 + kChunkCells, level.sizeY()); ++y) {
            for (std::int32_t z = z0; z < std::min(z0 + kChunkCells, level.sizeZ()); ++z) {
                const LevelFaceKinds kinds = cellFaceKinds(level, x, y, z);
                if (kinds == 0) {
                    continue;
                }
                // The cell's box reaches as far as any of its faces (the exit's marks stand just
                // out of it): coarser than the faces' own bounds, far cheaper, and as safe.
                const FaceBounds cellBox{{x - kCellReach, y - kCellReach, z - kCellReach},
                                         {x + kCellReach, y + kCellReach, z + kCellReach}};
                if (faces_.size() == chunk.first) {
                    chunk.bounds = cellBox;
                } else {
                    widen(chunk.bounds, cellBox);
                }
                for (std::uint8_t kind = 0; kind < kLevelFaceKindCount; ++kind) {
                    if ((kinds >> kind & 1U) != 0) {
                        faces_.push_back(packed(x - x0, y - y0, z - z0, kind));
                    }
                }
            }
        }
    }
    chunk.end = static_cast<std::uint32_t>(faces_.size());
}

ListedFace FaceChunks::faceOf(const FaceChunk& chunk, std::uint32_t i) const {
    ListedFace listed;
    listed.place = writeFace(chunk, i, listed.face);
    return listed;
}

std::uint64_t FaceChunks::writeFace(const FaceChunk& chunk, std::uint32_t i, Face& out) const {
    const unsigned face = faces_[i];
    const auto kind = static_cast<std::uint8_t>(face & ((1U << kKindBits) - 1));
    const unsigned cell = face >> kKindBits;
    const std::int32_t x = chunk.x + static_cast<std::int32_t>(cell >> (2 * kCoordinateBits));
    const std::int32_t y = chunk.y + static_cast<std::int32_t>((cell >> kCoordinateBits) & kCoordinateMask);
    const std::int32_t z = chunk.z + static_cast<std::int32_t>(cell & kCoordinateMask);
    // Each kind's face at the origin holds its corner offsets exactly, and the cell's centre
    // plus an offset is the very sum levelFace makes: the same face without its table walk.
    static const std::array<Face, kLevelFaceKindCount> kAtOrigin = [] {
        std::array<Face, kLevelFaceKindCount> faces{};
        for (std::uint8_t k = 0; k < kLevelFaceKindCount; ++k) {
            faces[k] = levelFace(0, 0, 0, k);
        }
        return faces;
    }();
    const Face& unit = kAtOrigin[kind];
    const Vec3 centre{static_cast<double>(x), static_cast<double>(y), static_cast<double>(z)};
    for (std::size_t c = 0; c < unit.corners.size(); ++c) {
        out.corners[c] = {centre.x + unit.corners[c].x, centre.y + unit.corners[c].y,
                          centre.z + unit.corners[c].z};
    }
    out.fill = unit.fill;
    out.kind = unit.kind;
    return listPlace(x, y, z, kind);
}

FaceList FaceChunks::listFaces() const {
    std::vector<ListedFace> listed;
    listed.reserve(faces_.size());
    for (const FaceChunk& chunk : chunks_) {
        for (std::uint32_t i = chunk.first; i < chunk.end; ++i) {
            listed.push_back(faceOf(chunk, i));
        }
    }
    std::sort(listed.begin(), listed.end(),
              [](const ListedFace& a, const ListedFace& b) { return a.place < b.place; });
    FaceList faces;
    faces.reserve(listed.size());
    for (ListedFace& entry : listed) {
        faces.push_back(entry.face);
    }
    return faces;
}

}  // namespace brickstorm
