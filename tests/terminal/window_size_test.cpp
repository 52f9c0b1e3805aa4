// A cell's shape from what the terminal or console reports: shared by both platforms.
#include "terminal/window_size.h"

#include <gtest/gtest.h>

#include <optional>

namespace brickstorm::terminal {
namespace {

TEST(CellShapeTest, FromTheWindowInPixels) {
    struct Case {
        int columns = 0;
        int lines = 0;
        int width = 0;
        int height = 0;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {80, 24, 640, 384, 2.0},   // 8 x 16 cells
        {100, 50, 800, 400, 1.0},  // square cells
        {80, 24, 720, 408, 17.0 / 9.0},
        {80, 24, 0, 384, std::nullopt},  // most terminals leave the pixels
                                         // at zero
        {80, 24, 640, 0, std::nullopt},
        {0, 24, 640, 384, std::nullopt},
        {80, -1, 640, 384, std::nullopt},
        {80, 24, -640, 384, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto aspect = cellAspectFromPixels(c.columns, c.lines, c.width, c.height);
        ASSERT_EQ(aspect.has_value(), c.expected.has_value()) << c.columns << " x " << c.lines;
        if (aspect) {
            EXPECT_DOUBLE_EQ(*aspect, *c.expected);
        }
    }
}

TEST(CellShapeTest, AConsoleWindowFromItsCellsAndFont) {
    const auto window = windowFromCells(120, 30, 8, 16);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->columns, 120);
    EXPECT_EQ(window->lines, 30);
    EXPECT_DOUBLE_EQ(window->cellAspect.value_or(0.0), 2.0);
    EXPECT_FALSE(windowFromCells(120, 30, 0, 0)->cellAspect);  // the font is not known
    EXPECT_FALSE(windowFromCells(0, 30, 8, 16));
    EXPECT_FALSE(windowFromCells(120, 0, 8, 16));
}

}  // namespace
}  // namespace brickstorm::terminal
