#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace brickstorm {

// `value` converted to int32 without undefined behaviour: out-of-range values saturate, NaN gives 0.
constexpr std::int32_t saturatingInt(double value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

// The nearest whole number, halves away from zero (round(2.5) is 3, round(-4.5) is -5).
inline std::int32_t roundToInt(double value) { return saturatingInt(std::round(value)); }

// The cell that a position coordinate lies in: truncation toward zero.
constexpr std::int32_t cellCoordinate(double value) { return saturatingInt(value); }

}  // namespace brickstorm
