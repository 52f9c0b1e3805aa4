#include "recording/attempts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brickstorm {
namespace {

using Outcome = Attempt::Outcome;

TEST(AttemptsTest, OneLineEach) {
    EXPECT_EQ(attemptLine({3, Outcome::Cleared, 412}), "level 3: cleared after 412 ticks\n");
    EXPECT_EQ(attemptLine({1, Outcome::Killed, 90}), "level 1: killed after 90 ticks\n");
    EXPECT_EQ(attemptLine({12, Outcome::Fell, 1}), "level 12: fell after 1 tick\n");
    EXPECT_EQ(attemptLine({2, Outcome::Left, 0}), "level 2: left after 0 ticks\n");
}

TEST(AttemptsTest, TheTotalCountsClearsDeathsAndTheWholeRun) {
    struct Case {
        std::vector<Attempt> attempts;
        std::int64_t ticks;
        const char* line;
    };
    const std::vector<Attempt> mixed{
        {1, Outcome::Fell, 50}, {1, Outcome::Cleared, 300}, {2, Outcome::Killed, 80}, {2, Outcome::Left, 7}};
    for (const Case& c : {
             Case{{}, 0, "in all: 0 levels cleared, 0 deaths, 0 ticks (0:00.0)\n"},
             Case{{{1, Outcome::Cleared, 1}}, 1, "in all: 1 level cleared, 0 deaths, 1 tick (0:00.0)\n"},
             // Seconds in two digits, the tenth after them, cut and never rounded.
             Case{{}, 198, "in all: 0 levels cleared, 0 deaths, 198 ticks (0:09.9)\n"},
             Case{{}, 199, "in all: 0 levels cleared, 0 deaths, 199 ticks (0:09.9)\n"},
             Case{{}, 200, "in all: 0 levels cleared, 0 deaths, 200 ticks (0:10.0)\n"},
             Case{mixed, 1199, "in all: 1 level cleared, 2 deaths, 1199 ticks (0:59.9)\n"},
             Case{mixed, 1200, "in all: 1 level cleared, 2 deaths, 1200 ticks (1:00.0)\n"},
             // An hour: minutes go on past 59.
             Case{{}, 72'000, "in all: 0 levels cleared, 0 deaths, 72000 ticks (60:00.0)\n"},
             Case{{}, 72'021, "in all: 0 levels cleared, 0 deaths, 72021 ticks (60:01.0)\n"},
         }) {
        EXPECT_EQ(attemptsTotalLine(c.attempts, c.ticks), c.line);
    }
}

}  // namespace
}  // namespace brickstorm
