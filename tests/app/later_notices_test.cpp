#include "app/later_notices.h"

#include <gtest/gtest.h>

namespace brickstorm::app {
namespace {

TEST(LaterNotices, EachLineOnceInTheOrderTheyCame) {
    LaterNotices notices;
    EXPECT_EQ(notices.text(), "");
    notices.add("brickstorm: progress: progress not saved: No space left on device\n");
    notices.add("brickstorm: other\n");
    notices.add("brickstorm: progress: progress not saved: No space left on device\n");
    EXPECT_EQ(notices.text(),
              "brickstorm: progress: progress not saved: No space left on device\nbrickstorm: other\n");
}

}  // namespace
}  // namespace brickstorm::app
