#include "app/loops.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace brickstorm::app {
namespace {

using std::chrono::milliseconds;

// A clock that only moves when the work or a sleep moves it.
struct FakeClock {
    using time_point = std::chrono::steady_clock::time_point;
    time_point current{};
    std::vector<std::chrono::nanoseconds> sleeps;
    int yields = 0;

    time_point now() const { return current; }
    void sleepUntil(time_point deadline) {
        sleeps.push_back(deadline - current);
        current = deadline;
    }
    void yieldNow() { ++yields; }
};

TEST(PacedLoopTest, WaitsForTheRestOfThePeriodAndNeverCatchesUp) {
    struct Case {
        milliseconds period;
        milliseconds work;
        milliseconds wait;  // zero: no sleep, a yield instead
    };
    const Case cases[] = {
        {milliseconds(50), milliseconds(20), milliseconds(30)},
        {milliseconds(50), milliseconds(0), milliseconds(50)},
        {milliseconds(50), milliseconds(49), milliseconds(1)},
        {milliseconds(50), milliseconds(50), milliseconds(0)},
        {milliseconds(50), milliseconds(120), milliseconds(0)},
        {milliseconds(100), milliseconds(30), milliseconds(70)},
    };
    for (const Case& c : cases) {
        FakeClock clock;
        const auto work = [&] { clock.current += c.work; };
        pacedPass(c.period, work, clock);
        if (c.wait > milliseconds(0)) {
            ASSERT_EQ(clock.sleeps.size(), 1U);
            EXPECT_EQ(clock.sleeps[0], c.wait);
            EXPECT_EQ(clock.yields, 0);
        } else {
            EXPECT_TRUE(clock.sleeps.empty());
            EXPECT_EQ(clock.yields, 1);
        }
    }
}

TEST(PacedLoopTest, PassesStartOnePeriodApartAfterShortWork) {
    FakeClock clock;
    std::vector<FakeClock::time_point> starts;
    for (int pass = 0; pass < 4; ++pass) {
        const auto work = [&] {
            starts.push_back(clock.current);
            clock.current += milliseconds(pass == 1 ? 80 : 5);  // the second pass overruns
        };
        pacedPass(kTickPeriod, work, clock);
    }
    ASSERT_EQ(starts.size(), 4U);
    EXPECT_EQ(starts[1] - starts[0], milliseconds(50));
    EXPECT_EQ(starts[2] - starts[1], milliseconds(80));  // late, and not made up later
    EXPECT_EQ(starts[3] - starts[2], milliseconds(50));
}

}  // namespace
}  // namespace brickstorm::app
