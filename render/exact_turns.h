#pragma once

namespace brickstorm {

inline constexpr double kQuarterTurn = 90.0;
inline constexpr double kHalfTurn = 180.0;
inline constexpr double kThreeQuarterTurn = 270.0;

// True for the angles that rotateFaces turns by without trigonometry, exactly: 0 (and -0),
// 90, 180 and 270 degrees, compared for equality.
constexpr bool isExactTurn(double degrees) {
    return degrees == 0.0 || degrees == kQuarterTurn || degrees == kHalfTurn || degrees == kThreeQuarterTurn;
}

}  // namespace brickstorm
