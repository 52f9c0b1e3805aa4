#pragma once

#include <cmath>
#include <cstdint>

// Doubles rounded to whole numbers with exactly the results of std::round and std::floor, written
// out: without the SSE4.1 rounding instruction (not in the baseline x86-64 the game is built for)
// those are library calls, and a frame makes tens of thousands of them.
namespace brickstorm {

// Every double of at least this size is a whole number.
inline constexpr double kAllWhole = 4503599627370496.0;  // 2 to the 52nd

// std::round: halves away from zero, the sign of zero kept.
inline double roundedHalfAway(double x) {
    if (!(std::abs(x) < kAllWhole)) {
        return x;  // whole already, infinite or not a number
    }
    const double truncated = static_cast<double>(static_cast<std::int64_t>(x));
    // x minus its whole part is exact below 2 to the 52nd.
    const double rounded = std::abs(x - truncated) >= 0.5 ? truncated + std::copysign(1.0, x) : truncated;
    return std::copysign(rounded, x);
}

// std::floor, the sign of zero kept.
inline double flooredWhole(double x) {
    if (!(std::abs(x) < kAllWhole)) {
        return x;
    }
    const double truncated = static_cast<double>(static_cast<std::int64_t>(x));
    return std::copysign(truncated > x ? truncated - 1.0 : truncated, x);
}

}  // namespace brickstorm
