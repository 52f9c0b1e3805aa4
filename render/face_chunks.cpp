#include "render/face_chunks.h"

#include <algorithm>
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

void widen(FaceBounds& bounds, const FaceBounds& more) {
    bounds.least = {std::min(bounds.least.x, more.least.x), std::min(bounds.least.y, more.least.y),
                    std::min(bounds.least.z, more.least.z)};
    bounds.greatest = {std::max(bounds.greatest.x, more.greatest.x),
                       std::max(bounds.greatest.y, more.greatest.y),
                       std::max(bounds.greatest.z, more.greatest.z)};
}

}  // namespace

FaceChunks::FaceChunks(const Level& level)
    : countX_(chunksFor(level.sizeX)), countY_(chunksFor(level.sizeY)), countZ_(chunksFor(level.sizeZ)) {
    chunks_.reserve(static_cast<std::size_t>(countX_) * static_cast<std::size_t>(countY_) *
                    static_cast<std::size_t>(countZ_));
    for (std::int32_t cy = 0; cy < countY_; ++cy) {
        for (std::int32_t cz = 0; cz < countZ_; ++cz) {
            for (std::int32_t cx = 0; cx < countX_; ++cx) {
                FaceChunk& chunk = chunks_.emplace_back();
                chunk.x = cx * kChunkCells;
                chunk.y = cy * kChunkCells;
                chunk.z = cz * kChunkCells;
                chunk.first = static_cast<std::uint32_t>(faces_.size());
                for (std::int32_t x = chunk.x; x < std::min(chunk.x + kChunkCells, level.sizeX); ++x) {
                    for (std::int32_t y = chunk.y; y < std::min(chunk.y + kChunkCells, level.sizeY); ++y) {
                        for (std::int32_t z = chunk.z; z < std::min(chunk.z + kChunkCells, level.sizeZ); ++z) {
                            const LevelFaceKinds kinds = cellFaceKinds(level, x, y, z);
                            for (std::uint8_t kind = 0; kinds != 0 && kind < kLevelFaceKindCount; ++kind) {
                                if ((kinds >> kind & 1U) == 0) {
                                    continue;
                                }
                                const FaceBounds bounds = boundsOf(levelFace(x, y, z, kind));
                                if (faces_.size() == chunk.first) {
                                    chunk.bounds = bounds;
                                } else {
                                    widen(chunk.bounds, bounds);
                                }
                                faces_.push_back(packed(x - chunk.x, y - chunk.y, z - chunk.z, kind));
                            }
                        }
                    }
                }
                chunk.end = static_cast<std::uint32_t>(faces_.size());
            }
        }
    }
}

ListedFace FaceChunks::faceOf(const FaceChunk& chunk, std::uint32_t i) const {
    const unsigned face = faces_[i];
    const auto kind = static_cast<std::uint8_t>(face & ((1U << kKindBits) - 1));
    const unsigned cell = face >> kKindBits;
    const std::int32_t x = chunk.x + static_cast<std::int32_t>(cell >> (2 * kCoordinateBits));
    const std::int32_t y = chunk.y + static_cast<std::int32_t>((cell >> kCoordinateBits) & kCoordinateMask);
    const std::int32_t z = chunk.z + static_cast<std::int32_t>(cell & kCoordinateMask);
    return {levelFace(x, y, z, kind), listPlace(x, y, z, kind)};
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
