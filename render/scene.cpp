#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "render/exact_turns.h"
#include "render/face_bounds.h"
#include "render/view_culling.h"
#include "render/view_slopes.h"
#include "world/grid_math.h"

namespace brickstorm {

namespace {

// How far a span from `least` to `greatest` lies from zero: the mean of the two distances.
double axisReach(double least, double greatest) { return (std::abs(least) + std::abs(greatest)) / 2.0; }

// Keeps the faces for which `keep` holds (it may change them), in list order.
template <typename Keep>
void keepFaces(FaceList& faces, Keep keep) {
    std::size_t kept = 0;
    for (Face& face : faces) {
        if (keep(face)) {
            faces[kept++] = face;
        }
    }
    faces.erase(faces.begin() + static_cast<std::ptrdiff_t>(kept), faces.end());
}

// A face's place in the drawing order.
struct DrawOrder {
    double key = 0.0;
    std::size_t index = 0;
};

// The faces' drawing order, nearest first. Faces with equal keys keep their list order, so a
// scene always gives the same frame.
std::vector<DrawOrder> nearestFirst(const FaceList& faces) {
    std::vector<DrawOrder> order;
    order.reserve(faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        order.push_back({depthKey(faces[i]), i});
    }
    std::sort(order.begin(), order.end(), [](const DrawOrder& a, const DrawOrder& b) {
        return a.key < b.key || (a.key == b.key && a.index < b.index);
    });
    return order;
}

// The places of faces that come after every level face, in their own order.
constexpr std::uint64_t kAfterTheLevel = std::uint64_t{1} << 63U;

// An inclusive range of chunk coordinates along one axis.
struct ChunkSpan {
    std::int32_t first = 0;
    std::int32_t last = -1;
};

// The chunks of `count` along an axis that may hold cells within `reach` of `camera`; all of
// them when the camera or the reach is not a usable number.
ChunkSpan chunksNear(double camera, double reach, std::int32_t count) {
    // One cell more each way than the reach: cells (and the exit's marks) stand out half a cell
    // from their centres, and the chunk of a coordinate is found by truncation.
    const double low = camera - reach - 1.0;
    const double high = camera + reach + 1.0;
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return {0, count - 1};
    }
    const auto chunkOf = [](double cell) { return saturatingInt(std::floor(cell / kChunkCells)); };
    return {std::max(chunkOf(low), 0), std::min(chunkOf(high), count - 1)};
}

// The matrix of the camera's turn for whole chunks: also for the quarter turns, which the
// matrix gives within the slack; none where no matrix is close to the exact turn.
std::optional<ViewTurn> chunkTurn(double degrees) {
    if (isExactTurn(degrees)) {
        const double radians = radiansFromDegrees(degrees);
        return ViewTurn{std::cos(radians), std::sin(radians)};
    }
    return viewTurn(degrees);
}

// Gathers a frame's faces, moved by the camera, leaving out whole chunks and then single faces
// that certainly lie outside the view once turned: cheap tests first, so that a frame turns
// exactly only what may show.
class SceneGatherer {
public:
    SceneGatherer(const ViewSlopes& slopes, Vec3 cameraPosition, double cameraYaw, SceneBuffers& buffers)
        : slopes_(slopes),
          buffers_(buffers),
          dx_(-cameraPosition.x),
          dy_(-cameraPosition.y),
          dz_(-cameraPosition.z),
          faceTurn_(viewTurn(-cameraYaw)),
          chunkTurn_(chunkTurn(-cameraYaw)) {
        buffers_.chunks.clear();
        buffers_.faces.clear();
        buffers_.places.clear();
    }

    // Takes every face of the level's chunks that may show, whole chunks passed over first.
    void takeLevel(const FaceChunks& level, Vec3 cameraPosition) {
        // Without a usable turn (a heading beyond any number) nothing is known of where the
        // faces go: every chunk is taken.
        const double reach = chunkTurn_ ? drawnReach(slopes_) : std::numeric_limits<double>::infinity();
        const ChunkSpan xs = chunksNear(cameraPosition.x, reach, level.countX());
        const ChunkSpan ys = chunksNear(cameraPosition.y, reach, level.countY());
        const ChunkSpan zs = chunksNear(cameraPosition.z, reach, level.countZ());
        std::vector<const FaceChunk*>& shown = buffers_.chunks;
        std::size_t faceCount = 0;
        for (std::int32_t cy = ys.first; cy <= ys.last; ++cy) {
            for (std::int32_t cz = zs.first; cz <= zs.last; ++cz) {
                for (std::int32_t cx = xs.first; cx <= xs.last; ++cx) {
                    const FaceChunk& chunk = level.chunkAt(cx, cy, cz);
                    if (mayShow(chunk)) {
                        shown.push_back(&chunk);
                        faceCount += chunk.end - chunk.first;
                    }
                }
            }
        }
        // Room for every face of the chunks taken at once: the list never grows face by face.
        buffers_.faces.reserve(faceCount);
        buffers_.places.reserve(faceCount);
        for (const FaceChunk* chunk : shown) {
            for (std::uint32_t i = chunk->first; i < chunk->end; ++i) {
                Face& face = buffers_.faces.emplace_back();
                const std::uint64_t place = level.writeFace(*chunk, i, face);
                keepIfMayShow(face, place);
            }
        }
    }

    void takeOthers(const FaceList& others) {
        std::uint64_t place = kAfterTheLevel;
        for (const Face& face : others) {
            take(face, place++);
        }
    }

private:
    // False when the chunk has no faces, or none that could pass keepInView.
    bool mayShow(const FaceChunk& chunk) const {
        if (chunk.first == chunk.end) {
            return false;
        }
        const FaceBounds movedBounds{moveCorner(chunk.bounds.least), moveCorner(chunk.bounds.greatest)};
        return !chunkTurn_ || !boxCertainlyOutOfView(movedBounds, *chunkTurn_, slopes_);
    }

    // The same sum as translateFaces: the moved corners are bit for bit the designed ones.
    Vec3 moveCorner(const Vec3& c) const { return {c.x + dx_, c.y + dy_, c.z + dz_}; }

    void take(const Face& face, std::uint64_t place) {
        keepIfMayShow(buffers_.faces.emplace_back(face), place);
    }

    // Moves `face`, the last of the moved faces, by the camera, and keeps it with its place
    // unless it certainly cannot show.
    void keepIfMayShow(Face& face, std::uint64_t place) {
        for (Vec3& corner : face.corners) {
            corner = moveCorner(corner);
        }
        if (faceTurn_ && certainlyOutOfView(face, *faceTurn_, slopes_)) {
            buffers_.faces.pop_back();
            return;
        }
        buffers_.places.push_back(place);
    }

    const ViewSlopes& slopes_;
    SceneBuffers& buffers_;
    double dx_;
    double dy_;
    double dz_;
    std::optional<ViewTurn> faceTurn_;
    std::optional<ViewTurn> chunkTurn_;
};

}  // namespace

FaceList appendFaces(FaceList first, FaceList second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

double depthKey(const Face& face) {
    const FaceBounds b = boundsOf(face);
    return axisReach(b.least.x, b.greatest.x) + axisReach(b.least.y, b.greatest.y) +
           axisReach(b.least.z, b.greatest.z);
}

std::vector<ScreenQuad> renderView(const ViewSettings& view, FaceList faces, Vec3 cameraPosition,
                                   double cameraYaw) {
    const ViewSlopes slopes = viewSlopes(view);
    translateFaces(faces, -cameraPosition.x, -cameraPosition.y, -cameraPosition.z);
    // The exact turn costs a square root and three trigonometric functions per corner; most
    // faces of a scene lie behind or beside the camera, and a cheap turn finds them first.
    if (const auto turn = viewTurn(-cameraYaw)) {
        keepFaces(faces, [&](const Face& face) { return !certainlyOutOfView(face, *turn, slopes); });
    }
    rotateFaces(faces, -cameraYaw);
    keepFaces(faces, [&](Face& face) { return keepInView(face, slopes); });

    std::vector<ScreenQuad> quads;
    quads.reserve(faces.size());
    for (const DrawOrder& entry : nearestFirst(faces)) {
        quads.push_back(projectFace(slopes, faces[entry.index]));
    }
    return quads;
}

std::vector<ScreenQuad> renderScene(const ViewSettings& view, const FaceChunks& level, const FaceList& others,
                                    Vec3 cameraPosition, double cameraYaw) {
    SceneBuffers buffers;
    renderScene(view, level, others, cameraPosition, cameraYaw, buffers);
    return std::move(buffers.quads);
}

const std::vector<ScreenQuad>& renderScene(const ViewSettings& view, const FaceChunks& level,
                                           const FaceList& others, Vec3 cameraPosition, double cameraYaw,
                                           SceneBuffers& buffers) {
    const ViewSlopes slopes = viewSlopes(view);
    SceneGatherer gatherer(slopes, cameraPosition, cameraYaw, buffers);
    gatherer.takeLevel(level, cameraPosition);
    gatherer.takeOthers(others);
    rotateFaces(buffers.faces, -cameraYaw);

    // Kept faces in the drawing order of renderView: nearest first, ties in list order.
    std::vector<SceneBuffers::Kept>& kept = buffers.kept;
    kept.clear();
    for (std::size_t i = 0; i < buffers.faces.size(); ++i) {
        if (keepInView(buffers.faces[i], slopes)) {
            kept.push_back({depthKey(buffers.faces[i]), buffers.places[i], i});
        }
    }
    std::sort(kept.begin(), kept.end(), [](const SceneBuffers::Kept& a, const SceneBuffers::Kept& b) {
        return a.key < b.key || (a.key == b.key && a.place < b.place);
    });
    buffers.quads.clear();
    for (const SceneBuffers::Kept& entry : kept) {
        buffers.quads.push_back(projectFace(slopes, buffers.faces[entry.index]));
    }
    return buffers.quads;
}

}  // namespace brickstorm
