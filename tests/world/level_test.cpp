#include <gtest/gtest.h>

#include "world/level.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {
TEST(LevelTest, Placeholder) { EXPECT_EQ(Level(levelTable()[0]).sizeX, 15); }
}  // namespace
}  // namespace brickstorm
