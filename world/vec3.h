#pragma once

namespace brickstorm {

// A point or offset in world space: x and z horizontal, y the height (up is +y).
// The cell (x, y, z) of a level is the unit cube centred on that point.
struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    friend bool operator==(const Vec3&, const Vec3&) = default;
};

}  // namespace brickstorm
