#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "world/vec3.h"

namespace brickstorm {

// The fill bytes of the drawn world, in the game's single-byte character set.
inline constexpr unsigned char kFillLightShade = 176;       // the exit's door and window
inline constexpr unsigned char kFillMediumShade = 177;      // tops and bottoms of blocks
inline constexpr unsigned char kFillDarkShade = 178;        // block sides facing along z
inline constexpr unsigned char kFillFullBlock = 219;        // block sides facing along x
inline constexpr unsigned char kFillTopHalfIntegral = 244;  // enemy front and back
inline constexpr unsigned char kFillDivisionSign = 246;     // enemy top and bottom
inline constexpr unsigned char kFillDegreeSign = 248;       // enemy flanks

// What a face is part of, for colouring the cells it fills; it never changes their characters.
enum class FaceKind : std::uint8_t {
    BlockSideX,      // block sides facing along x
    BlockSideZ,      // block sides facing along z
    BlockTopBottom,  // tops and bottoms of blocks
    ExitDoor,
    ExitWindow,
    Enemy,
};
inline constexpr std::size_t kFaceKindCount = 6;

// A flat four-cornered face: consecutive corners (and the last with the first) are its edges,
// and every frame cell it covers shows `fill`.
struct Face {
    std::array<Vec3, 4> corners;
    unsigned char fill = 0;
    FaceKind kind = FaceKind::BlockSideX;

    friend bool operator==(const Face&, const Face&) = default;
};

using FaceList = std::vector<Face>;

}  // namespace brickstorm
