// The renderer's own rounding gives exactly what the standard library's does, sign of zero
// included, everywhere a frame coordinate can fall.
#include "render/whole_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace brickstorm {
namespace {

void expectSameAsLibrary(double x) {
    const double round = std::round(x);
    const double floor = std::floor(x);
    const double ownRound = roundedHalfAway(x);
    const double ownFloor = flooredWhole(x);
    if (std::isnan(x)) {
        EXPECT_TRUE(std::isnan(ownRound) && std::isnan(ownFloor));
        return;
    }
    EXPECT_EQ(ownRound, round) << x;
    EXPECT_EQ(std::signbit(ownRound), std::signbit(round)) << x;
    EXPECT_EQ(ownFloor, floor) << x;
    EXPECT_EQ(std::signbit(ownFloor), std::signbit(floor)) << x;
}

TEST(WholeNumbersTest, TheEdgesOfRounding) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> values{0.0,
                                     -0.0,
                                     0.5,
                                     -0.5,
                                     1.5,
                                     -1.5,
                                     2.5,
                                     -2.5,
                                     1e-300,
                                     -1e-300,
                                     44.5,
                                     -44.5,
                                     2.0e9 + 0.5,
                                     -2.0e9 - 0.5,
                                     4503599627370495.5,
                                     -4503599627370495.5,
                                     4503599627370496.0,
                                     9007199254740993.0,
                                     1e300,
                                     -1e300,
                                     inf,
                                     -inf,
                                     std::numeric_limits<double>::quiet_NaN()};
    for (const double x : values) {
        expectSameAsLibrary(x);
    }
}

// The largest double below a half rounds to zero, as C says; it is kept out of the comparison with
// the library because some C libraries (the one Windows programs run with) add a half and round
// it up to one.
TEST(WholeNumbersTest, TheLargestDoubleBelowAHalfRoundsToZero) {
    const double belowAHalf = std::nextafter(0.5, 0.0);
    EXPECT_EQ(roundedHalfAway(belowAHalf), 0.0);
    EXPECT_FALSE(std::signbit(roundedHalfAway(belowAHalf)));
    EXPECT_EQ(roundedHalfAway(-belowAHalf), 0.0);
    EXPECT_TRUE(std::signbit(roundedHalfAway(-belowAHalf)));
    EXPECT_EQ(flooredWhole(belowAHalf), 0.0);
    EXPECT_EQ(flooredWhole(-belowAHalf), -1.0);
}

TEST(WholeNumbersTest, RandomValuesOfEveryScale) {
    std::mt19937_64 random(27);
    std::uniform_real_distribution<double> exponent(-20.0, 60.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 100000; ++i) {
        const double x = unit(random) * std::pow(2.0, exponent(random));
        expectSameAsLibrary(x);
        expectSameAsLibrary(std::trunc(x) + 0.5);  // the halves, where rounding turns
    }
}

}  // namespace
}  // namespace brickstorm
