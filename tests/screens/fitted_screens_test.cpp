// Every screen in a window of any size: the layout chosen from the window, the text screens and
// the 3D view fitted to it, and a redraw when it changes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "screens/picture_layout.h"
#include "screens/screen_texts.h"
#include "screens/screens.h"
#include "screens/text_screen.h"
#include "support/game_driver.h"
#include "support/recording_console.h"
#include "support/text_lines.h"

namespace brickstorm {
namespace {

using testing::GameDriver;
using testing::RecordingConsole;

using testing::splitLines;

// The layout of a window of square cells, where a large enough window shows the full picture.
PictureLayout layoutFor(std::int32_t columns, std::int32_t lines, LayoutOptions options = {}) {
    return chooseLayout(WindowSize{columns, lines, 1.0}, options);
}

// A picture for a window of `columns` x `lines`: that many lines, each its cells and the edge
// (in single-byte cells), and no line break after the last.
void expectFillsWindow(const std::string& picture, std::int32_t columns, std::int32_t lines) {
    ASSERT_FALSE(picture.empty());
    EXPECT_NE(picture.back(), '\n');
    const auto split = splitLines(picture);
    ASSERT_EQ(split.size(), static_cast<std::size_t>(lines));
    for (const std::string& line : split) {
        ASSERT_EQ(line.size(), static_cast<std::size_t>(columns)) << line;
        EXPECT_EQ(line.back(), '#');
    }
}

bool showsLine(const std::string& picture, const std::string& line) {
    return line.empty() || picture.find(line) != std::string::npos;
}

struct LayoutCase {
    std::optional<WindowSize> window;
    LayoutOptions options;
    PictureLayout expected;
};

// Which picture each window gets: its size, the cell shape the terminal reports (from its pixels),
// and the options --fit and --cell-aspect. The full picture is made for square cells.
TEST(PictureLayoutTest, TheFullPictureForSquareCellsWhereItFitsTheFittedViewOtherwise) {
    const std::optional<double> unknown;
    const LayoutCase cases[] = {
        // Square cells, reported or given: the full picture wherever it fits.
        {WindowSize{91, 60, 1.0}, {}, PictureLayout{}},
        {WindowSize{200, 80, 1.0}, {}, PictureLayout{}},
        {WindowSize{91, 60, 1.1}, {}, PictureLayout{}},  // an 8 x 9 pixel font is square enough
        {WindowSize{91, 60, unknown}, {false, 1.0}, PictureLayout{}},
        {WindowSize{100, 62, 2.0}, {false, 1.0}, PictureLayout{}},   // the option wins over the report
        {std::nullopt, {false, 1.0}, PictureLayout{}},               // not a terminal
        {WindowSize{0, 0, unknown}, {false, 1.0}, PictureLayout{}},  // a terminal that does not know its size
        {WindowSize{65535, 65535, 1.0}, {}, PictureLayout{}},
        // Square cells in a window too small, or --fit: fitted with square cells.
        {WindowSize{90, 60, 1.0}, {}, PictureLayout{true, 89, 60, 1.0}},
        {WindowSize{91, 59, 1.0}, {}, PictureLayout{true, 90, 59, 1.0}},
        {WindowSize{91, 60, 1.0}, {true, {}}, PictureLayout{true, 90, 60, 1.0}},
        {WindowSize{80, 24, 2.2}, {false, 1.0}, PictureLayout{true, 79, 24, 1.0}},
        // Cells that are not square: fitted at every size, with their own shape.
        {WindowSize{100, 62, 2.0}, {}, PictureLayout{true, 99, 62, 2.0}},
        {WindowSize{91, 60, 1.2}, {}, PictureLayout{true, 90, 60, 1.2}},
        {WindowSize{200, 80, 1.0}, {false, 2.5}, PictureLayout{true, 199, 80, 2.5}},
        {WindowSize{80, 24, 2.2}, {}, PictureLayout{true, 79, 24, 2.2}},
        // Cells of no known shape are taken as twice as tall as wide: fitted too.
        {WindowSize{91, 60, unknown}, {}, PictureLayout{true, 90, 60, 2.0}},
        {WindowSize{160, 50, unknown}, {}, PictureLayout{true, 159, 50, 2.0}},
        {std::nullopt, {}, PictureLayout{true, 90, 60, 2.0}},
        {WindowSize{0, 0, unknown}, {}, PictureLayout{true, 90, 60, 2.0}},
        {std::nullopt, {true, {}}, PictureLayout{true, 90, 60, 2.0}},
        {WindowSize{1, 1, unknown}, {}, PictureLayout{true, 0, 1, 2.0}},
        // A shape no font has is a mistake of the terminal's: the usual shape instead.
        {WindowSize{80, 24, 0.01}, {}, PictureLayout{true, 79, 24, 2.0}},
        {WindowSize{80, 24, 40.0}, {}, PictureLayout{true, 79, 24, 2.0}},
        {WindowSize{91, 60, 0.01}, {}, PictureLayout{true, 90, 60, 2.0}},
        // A window of any size reported costs no more than the largest fitted picture.
        {WindowSize{65535, 65535, unknown}, {}, PictureLayout{true, 1024, 512, 2.0}},
        {WindowSize{65535, 65535, 1.0}, {true, {}}, PictureLayout{true, 1024, 512, 1.0}},
    };
    for (const LayoutCase& c : cases) {
        EXPECT_EQ(chooseLayout(c.window, c.options), c.expected)
            << (c.window ? std::to_string(c.window->columns) + " x " + std::to_string(c.window->lines) +
                               ", cells " + std::to_string(c.window->cellAspect.value_or(0.0))
                         : "none")
            << ", fit " << c.options.fit << ", --cell-aspect " << c.options.cellAspect.value_or(0.0);
    }
}

TEST(PictureLayoutTest, BelowFortyByFifteenOnlyTheNotice) {
    EXPECT_FALSE(belowSmallestWindow(PictureLayout{}));
    EXPECT_FALSE(belowSmallestWindow(layoutFor(40, 15)));
    EXPECT_TRUE(belowSmallestWindow(layoutFor(39, 15)));
    EXPECT_TRUE(belowSmallestWindow(layoutFor(40, 14)));
}

struct TitleCase {
    std::int32_t columns;
    std::int32_t lines;
    bool banner;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.columns << " x " << c.lines; }

class FittedTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(FittedTitleTest, EveryLineWholeAndTheBannerWhereItFits) {
    const TitleCase& c = GetParam();
    GameState state;
    std::mutex stateLock;
    RecordingConsole console;
    ShownPictures shown;
    state.render.drawScreen = kScreenIntro;
    drawScreens(state, stateLock, console, layoutFor(c.columns, c.lines), shown);
    const std::string& picture = console.lastPage();
    expectFillsWindow(picture, c.columns, c.lines);
    const ScreenLines title = titleScreenLines();
    for (std::size_t i = kTitleBannerLines; i < title.size(); ++i) {
        EXPECT_TRUE(showsLine(picture, title[i])) << title[i];
    }
    for (std::size_t i = 0; i < kTitleBannerLines; ++i) {
        EXPECT_EQ(showsLine(picture, title[i]), c.banner) << "banner line " << i + 1;
    }
    EXPECT_TRUE(state.render.screenDrawn);
}

INSTANTIATE_TEST_SUITE_P(Windows, FittedTitleTest,
                         ::testing::Values(TitleCase{80, 24, true}, TitleCase{60, 20, false},
                                           TitleCase{40, 15, false}, TitleCase{72, 18, false},
                                           TitleCase{72, 19, true}));

TEST(FittedTextScreenTest, TitleAtEightyByTwentyFourIsCentredAsABlock) {
    const auto lines =
        splitLines(composeTextScreen(fitScreenLines(titleScreenLines(), kTitleBannerLines, 79, 24), 79, 24));
    // 19 lines once the blank runs are shrunk: 2 above, 3 below.
    EXPECT_EQ(lines[0], std::string(79, ' ') + "#");
    EXPECT_EQ(lines[2].find("[]"), 13U);
    EXPECT_EQ(lines[20], std::string(25, ' ') + kPressAnyKey + std::string(25, ' ') + "#");
    EXPECT_EQ(lines[23], std::string(79, ' ') + "#");
}

TEST(FittedTextScreenTest, EveryScreenKeepsItsLinesWholeAtFortyByFifteen) {
    const ScreenLines screens[] = {levelScreenLines(12), deathScreenLines("You fell to your death."),
                                   deathScreenLines("You were killed.")};
    for (const ScreenLines& lines : screens) {
        const std::string picture = composeTextScreen(fitScreenLines(lines, 0, 39, 15), 39, 15);
        expectFillsWindow(picture, 40, 15);
        for (const std::string& line : lines) {
            EXPECT_TRUE(showsLine(picture, line)) << line;
        }
    }
}

TEST(FittedTextScreenTest, ScreensThatFitAreLeftAsTheyAre) {
    EXPECT_EQ(fitScreenLines(levelScreenLines(1), 0, 79, 24), levelScreenLines(1));
    EXPECT_EQ(fitScreenLines(titleScreenLines(), kTitleBannerLines, 90, 60), titleScreenLines());
}

TEST(FittedTextScreenTest, TheNoticeBelowTheSmallestWindow) {
    struct Case {
        std::int32_t columns;
        std::int32_t lines;
    };
    for (const Case c : {Case{30, 10}, Case{39, 40}, Case{120, 14}, Case{8, 3}, Case{1, 1}}) {
        GameState state;
        std::mutex stateLock;
        RecordingConsole console;
        ShownPictures shown;
        state.render.drawScreen = kScreenIntro;
        drawScreens(state, stateLock, console, layoutFor(c.columns, c.lines), shown);
        const std::string& picture = console.lastPage();
        expectFillsWindow(picture, c.columns, c.lines);
        EXPECT_EQ(picture.find("Press any key"), std::string::npos);
        if (c.columns >= 30) {
            EXPECT_NE(picture.find("40 x 15"), std::string::npos) << picture;
        }
        // Keys still work: the screen counts as shown.
        EXPECT_TRUE(state.render.screenDrawn);
    }
}

TEST(FittedTextScreenTest, WordsWrapToTheColumns) {
    EXPECT_EQ(wrapWords("Please make the window at least 40 x 15", 29),
              (ScreenLines{"Please make the window at", "least 40 x 15"}));
    EXPECT_EQ(wrapWords("ab  cdefg", 3), (ScreenLines{"ab", "cde"}));
    EXPECT_EQ(wrapWords("", 10), ScreenLines{});
}

class ResizeTest : public ::testing::Test {
protected:
    void draw(std::int32_t columns, std::int32_t lines) {
        drawScreens(state, stateLock, console, layoutFor(columns, lines), shown);
    }

    GameState state;
    std::mutex stateLock;
    RecordingConsole console;
    ShownPictures shown;
};

TEST_F(ResizeTest, ATextScreenIsDrawnAgainAtEachNewSizeOnly) {
    state.render.drawScreen = kScreenIntro;
    draw(80, 24);
    draw(80, 24);
    EXPECT_EQ(console.pages.size(), 1U);
    draw(120, 40);
    EXPECT_EQ(console.pages.size(), 2U);
    EXPECT_EQ(console.screens, 2);  // the old picture is cleared away whole
    expectFillsWindow(console.lastPage(), 120, 40);
    draw(120, 40);
    EXPECT_EQ(console.pages.size(), 2U);
    draw(100, 62);
    EXPECT_EQ(console.lastPage(), composeTextScreen(titleScreenLines()));
    EXPECT_TRUE(state.render.screenDrawn);
}

TEST_F(ResizeTest, ARedrawLeavesTheScreenGuardAlone) {
    state.render.drawScreen = kScreenIntro;
    draw(80, 24);
    // The next screen has been asked for but not yet drawn: a resize must draw it, not open the
    // guard of a screen nobody has seen.
    showLevelScreen(state);
    ASSERT_FALSE(state.render.screenDrawn);
    draw(120, 40);
    EXPECT_NE(console.lastPage().find("LEVEL 1"), std::string::npos);
    EXPECT_TRUE(state.render.screenDrawn);
    // A drawn screen drawn again keeps the flag as it is; a cleared flag stays cleared.
    state.render.screenDrawn = true;
    draw(80, 24);
    EXPECT_TRUE(state.render.screenDrawn);
}

TEST_F(ResizeTest, TheGameViewFillsEachWindowItIsDrawnIn) {
    state.render.drawScreen = kScreenGame;
    const struct {
        std::int32_t columns;
        std::int32_t lines;
    } windows[] = {{80, 24}, {120, 40}, {40, 15}, {200, 59}};
    for (const auto& w : windows) {
        draw(w.columns, w.lines);
        expectFillsWindow(console.lastPage(), w.columns, w.lines);
    }
    draw(30, 10);
    expectFillsWindow(console.lastPage(), 30, 10);
    EXPECT_NE(console.lastPage().find("40 x 15"), std::string::npos);
    EXPECT_FALSE(state.render.screenDrawn);
}

TEST(FullPictureTest, AWindowLargeEnoughShowsTheStoredFrameExactly) {
    std::ifstream file(BRICKSTORM_TEST_DATA "/builtin_level_start_yaw0.frame", std::ios::binary);
    ASSERT_TRUE(file) << "missing stored frame";
    const std::string stored{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    for (const WindowSize window :
         {WindowSize{91, 60, 1.0}, WindowSize{100, 62, 1.0}, WindowSize{91, 60, 0.9}}) {
        RecordingConsole console;
        GameDriver game(console);
        game.enterFirstLevel();
        game.state.render.levelFaces = game.state.levelFaces;
        game.state.render.enemyFaces.clear();
        game.state.render.cameraPosition = Vec3{8, 1, 0};
        game.state.render.cameraYaw = 0.0;
        std::mutex stateLock;
        ShownPictures shown;
        drawScreens(game.state, stateLock, console, chooseLayout(window, {}), shown);
        EXPECT_EQ(console.lastPage(), stored);
    }
}

}  // namespace
}  // namespace brickstorm
