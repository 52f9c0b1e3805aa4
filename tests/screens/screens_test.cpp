#include "screens/screens.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "screens/screen_texts.h"
#include "screens/text_screen.h"
#include "support/recording_console.h"
#include "support/text_lines.h"

namespace brickstorm {
namespace {

using testing::RecordingConsole;

using testing::splitLines;

// Every screen has 60 lines of 90 columns and the edge, and no break after its last line.
void expectScreenFrame(const std::string& screen) {
    ASSERT_FALSE(screen.empty());
    EXPECT_NE(screen.back(), '\n');
    const auto lines = splitLines(screen);
    ASSERT_EQ(lines.size(), 60U);
    for (const std::string& line : lines) {
        ASSERT_EQ(line.size(), 91U) << line;
        EXPECT_EQ(line.back(), '#');
    }
}

// The index of the first line that holds more than blanks and the edge.
std::size_t firstContentLine(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_not_of(' ') != 90) {
            return i;
        }
    }
    return lines.size();
}

TEST(CentredLineTest, ExtraBlankGoesRight) {
    struct Case {
        std::string text;
        std::size_t before;
        std::size_t after;
    };
    const Case cases[] = {
        {kPressAnyKey, 30, 31},  // 29 characters
        {"LEVEL 12", 41, 41},   {"GAME OVER", 40, 41}, {std::string(90, 'x'), 0, 0}, {"", 45, 45},
    };
    for (const Case& c : cases) {
        std::string line;
        printCentredLine(line, c.text);
        EXPECT_EQ(line, std::string(c.before, ' ') + c.text + std::string(c.after, ' ') + "#\n");
    }
    std::string blank;
    printBlankLine(blank);
    EXPECT_EQ(blank, std::string(90, ' ') + "#\n");
}

TEST(TextScreenTest, EveryScreenIsSixtyFullLines) {
    expectScreenFrame(composeTextScreen(titleScreenLines()));
    expectScreenFrame(composeTextScreen(levelScreenLines(1)));
    expectScreenFrame(composeTextScreen(deathScreenLines("You were killed.")));
    expectScreenFrame(composeTextScreen({}));
}

TEST(TextScreenTest, ContentIsCentredAsABlock) {
    // 27 title lines leave 16 above and 17 below; 14 lines leave 23 on each side.
    const auto title = splitLines(composeTextScreen(titleScreenLines()));
    EXPECT_EQ(firstContentLine(title), 16U);
    EXPECT_EQ(title[16 + 26], std::string(30, ' ') + kPressAnyKey + std::string(31, ' ') + "#");

    const auto level = splitLines(composeTextScreen(levelScreenLines(12)));
    EXPECT_EQ(firstContentLine(level), 23U);
    EXPECT_EQ(level[23], std::string(41, ' ') + "LEVEL 12" + std::string(41, ' ') + "#");
    EXPECT_EQ(level[36].substr(30, 29), kPressAnyKey);
}

// A level from a file names itself under its number and gives its hint under the line every level
// screen gives; without a title the screen is the built-in one, line for line.
TEST(TextScreenTest, TheLevelScreenShowsALevelsNameAndHint) {
    const ScreenLines plain = levelScreenLines(7);
    EXPECT_EQ(levelScreenLines(7, {}, {}), plain);
    EXPECT_EQ(plain[1], "");
    EXPECT_EQ(plain[3], "");
    const ScreenLines titled = levelScreenLines(7, {}, {"The guard", "Face him and shoot."});
    ASSERT_EQ(titled.size(), plain.size());
    EXPECT_EQ(titled[0], "LEVEL 7");
    EXPECT_EQ(titled[1], "The guard");
    EXPECT_EQ(titled[2], "Kill enemies. Find the exit.");
    EXPECT_EQ(titled[3], "Face him and shoot.");
    for (std::size_t line = 4; line < plain.size(); ++line) {
        EXPECT_EQ(titled[line], plain[line]) << line;
    }
    // Text from a file is shown escaped, and cut to what an 80-column window shows.
    const ScreenLines hostile = levelScreenLines(7, {}, {"\x1b[2J", std::string(120, 'h')});
    EXPECT_EQ(hostile[1], "\\x1b[2J");
    EXPECT_EQ(hostile[3], std::string(76, 'h') + "...");
}

TEST(TextScreenTest, TitleBannerKeepsItsLineWidths) {
    const ScreenLines title = titleScreenLines();
    ASSERT_EQ(title.size(), 27U);
    const std::size_t widths[] = {66, 66, 66, 66, 66, 71, 71, 71, 71, 65, 71};
    for (std::size_t i = 0; i < std::size(widths); ++i) {
        EXPECT_EQ(title[i].size(), widths[i]) << "banner line " << i + 1;
    }
    EXPECT_EQ(title[12].rfind("A ", 0), 0U);
    EXPECT_EQ(title[12].substr(title[12].size() - 5), " game");
    EXPECT_EQ(title[18], "1.Adjust your console");
    EXPECT_EQ(title[19], "2.Set the font size to 8x8");
    EXPECT_EQ(title[20], "3.Don't shit your pants");
}

TEST(TextScreenTest, ClosingScreenSaysWhatThisGameCleared) {
    struct Case {
        std::int32_t last;
        std::int32_t first;
        const char* cleared;
    };
    for (const Case& c : {Case{1, 1, "The level is cleared."}, Case{5, 1, "All 5 levels are cleared."},
                          Case{5, 3, "Levels 3 to 5 are cleared."}, Case{5, 5, "Level 5 is cleared."}}) {
        const ScreenLines lines = closingScreenLines(c.last, c.first);
        ASSERT_GT(lines.size(), 6U);
        EXPECT_EQ(lines[6], c.cleared);
    }
}

TEST(TextScreenTest, GameOverQuoteLinesStandAsWritten) {
    const ScreenLines death = deathScreenLines("You fell to your death.");
    EXPECT_EQ(death[0], "GAME OVER");
    EXPECT_EQ(death[2], "You fell to your death.");
    EXPECT_EQ(death[6], "\"Quote");
    EXPECT_EQ(death[7], "quote");
    EXPECT_EQ(death[8], "quote.\"");
    EXPECT_EQ(death[9], "Author");
    EXPECT_EQ(death[13], kPressAnyKey);
}

class DrawScreensTest : public ::testing::Test {
protected:
    void draw() { drawScreens(state, stateLock, console); }

    GameState state;
    std::mutex stateLock;
    RecordingConsole console;
};

TEST_F(DrawScreensTest, NothingRequestedDrawsNothing) {
    for (const char* name : {"", "elsewhere"}) {
        state.render.drawScreen = name;
        draw();
    }
    EXPECT_TRUE(console.pages.empty());
    EXPECT_FALSE(state.render.screenDrawn);
}

TEST_F(DrawScreensTest, RaisedFlagDrawsNothingOnAnyScreen) {
    state.render.screenDrawn = true;
    for (const char* name : {"intro", "levelintro", "death", "game"}) {
        state.render.drawScreen = name;
        draw();
    }
    EXPECT_TRUE(console.pages.empty());
}

TEST_F(DrawScreensTest, TextScreenIsDrawnOncePerRequestAsAScreenOfItsOwn) {
    state.render.drawScreen = "intro";
    draw();
    draw();
    draw();
    EXPECT_EQ(console.pages.size(), 1U);
    EXPECT_EQ(console.screens, 1);
    EXPECT_TRUE(state.render.screenDrawn);
    EXPECT_EQ(console.lastPage(), composeTextScreen(titleScreenLines()));

    showLevelScreen(state);
    draw();
    EXPECT_EQ(console.pages.size(), 2U);
    EXPECT_EQ(console.screens, 2);
    EXPECT_EQ(console.lastPage(), composeTextScreen(levelScreenLines(1)));
}

TEST_F(DrawScreensTest, GameOverShowsTheCauseSetWithTheRequest) {
    state.render.drawScreen = "death";
    state.render.deathMessage = "You were killed.";
    state.player.deathMessage = "You fell to your death.";  // a later cause does not reach the screen
    draw();
    EXPECT_NE(console.lastPage().find("You were killed."), std::string::npos);
    EXPECT_EQ(console.lastPage().find("You fell"), std::string::npos);
}

TEST_F(DrawScreensTest, GameViewIsDrawnOnEveryPass) {
    state.render.drawScreen = "game";
    draw();
    draw();
    EXPECT_EQ(console.pages.size(), 2U);
    EXPECT_EQ(console.screens, 0);  // frames of one moving scene: only what changed need be sent
    EXPECT_FALSE(state.render.screenDrawn);
    expectScreenFrame(console.lastPage());
}

}  // namespace
}  // namespace brickstorm
