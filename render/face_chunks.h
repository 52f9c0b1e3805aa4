#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/face.h"
#include "render/face_bounds.h"
#include "world/level.h"

namespace brickstorm {

// The edge of a chunk, in cells. Small enough that a frame passes over most of a level's chunks
// whole, large enough that the chunks of the largest level are few to look at.
inline constexpr std::int32_t kChunkCells = 8;

// One face of a chunk: its cell within the chunk and its kind (see cellFaceKinds), packed in 16
// bits, so that a level's faces cost two bytes each until a frame needs them.
using ChunkFace = std::uint16_t;

// A box of kChunkCells cells along each axis and the faces its cells show.
struct FaceChunk {
    std::int32_t x = 0;  // the chunk's first cell
    std::int32_t y = 0;
    std::int32_t z = 0;
    FaceBounds bounds;        // over every corner of its faces; meaningless when it has none
    std::uint32_t first = 0;  // its faces are faces[first] up to faces[end - 1]
    std::uint32_t end = 0;
};

// A face of a level as a frame takes it out of its chunk: the face, and its place in the level's
// face list (larger means later in buildLevelFaces' order).
struct ListedFace {
    Face face;
    std::uint64_t place = 0;
};

// A level's faces, built once per level start and never changed: the faces of buildLevelFaces,
// grouped by chunk so that a frame visits only the chunks that may show.
class FaceChunks {
public:
    FaceChunks() = default;
    explicit FaceChunks(const Level& level);

    // The number of chunks along x, y and z.
    std::int32_t countX() const { return countX_; }
    std::int32_t countY() const { return countY_; }
    std::int32_t countZ() const { return countZ_; }
    // The chunk at chunk coordinates (cx, cy, cz), each within its count.
    const FaceChunk& chunkAt(std::int32_t cx, std::int32_t cy, std::int32_t cz) const {
        return chunks_[(static_cast<std::size_t>(cy) * static_cast<std::size_t>(countZ_) +
                        static_cast<std::size_t>(cz)) *
                           static_cast<std::size_t>(countX_) +
                       static_cast<std::size_t>(cx)];
    }

    // Face i of `chunk`, first <= i < end, placed in the world.
    ListedFace faceOf(const FaceChunk& chunk, std::uint32_t i) const;
    // The same face written into `out`, for a frame that keeps it in place; returns its place.
    std::uint64_t writeFace(const FaceChunk& chunk, std::uint32_t i, Face& out) const;

    std::size_t faceCount() const { return faces_.size() - unusedFaces_; }
    // Every face in buildLevelFaces' order: the same list.
    FaceList listFaces() const;

    // Builds anew the faces of the chunk at chunk coordinates (cx, cy, cz) from `level`, a level
    // of the same sizes whose cells have changed: for an editor, which changes a few cells at a
    // time. The chunks of a changed cell's neighbours may change too (a side between two blocks is
    // hidden), and are the caller's to rebuild. Afterwards every chunk is as FaceChunks(level)
    // builds it.
    void rebuildChunk(const Level& level, std::int32_t cx, std::int32_t cy, std::int32_t cz);

private:
    // Appends the chunk whose first cell is (x0, y0, z0), with its faces.
    void addChunk(const Level& level, std::int32_t x0, std::int32_t y0, std::int32_t z0);
    // Appends the faces of `chunk`'s cells in `level` and points the chunk at them.
    void fillChunk(const Level& level, FaceChunk& chunk);
    // Moves every chunk's faces together, leaving out those no chunk uses any more.
    void compact();

    std::int32_t countX_ = 0;
    std::int32_t countY_ = 0;
    std::int32_t countZ_ = 0;
    std::vector<FaceChunk> chunks_;  // indexed (cy * countZ + cz) * countX + cx
    std::vector<ChunkFace> faces_;   // chunk by chunk
    std::size_t unusedFaces_ = 0;    // in faces_, left behind by chunks built anew
};

}  // namespace brickstorm
