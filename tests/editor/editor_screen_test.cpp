// The editor's screen: the map's characters and what they stand for, the cursor and the box,
// scrolling, the window's least size, the status lines, colour, and a 3D view that is the game's.
#include "editor/editor_screen.h"

#include <gtest/gtest.h>

#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "core/game_tick.h"
#include "core/key_codes.h"
#include "core/level_loading.h"
#include "editor/editor_keys.h"
#include "editor/map_picture.h"
#include "render/palette.h"
#include "screens/screens.h"
#include "support/recording_console.h"
#include "support/text_lines.h"

namespace brickstorm::editor {
namespace {

// The characters of a picture's lines, one string a line, in the game's single-byte set.
std::vector<std::string> textOf(const Picture& picture) {
    std::vector<std::string> lines;
    for (const CellLine& line : picture.lines) {
        std::string text;
        for (const Cell& cell : line) {
            text += static_cast<char>(cell.character);
        }
        lines.push_back(text);
    }
    return lines;
}

// The map's look of one cell, as a string of its two characters.
std::string look(const unsigned char (&characters)[2]) {
    return {static_cast<char>(characters[0]), static_cast<char>(characters[1])};
}

void press(EditorSession& editor, int code) {
    editor.handleKey(kNavigationKeyPrefix);
    editor.handleKey(code);
}

// Three layers of 4 x 3: a floor with the exit in it, then a room with one of everything.
EditedLevel smallLevel() {
    return *EditedLevel::fromLevelString(
        "004003003"
        "bbbb"
        "bbEb"
        "bbbb"
        "b0e0"
        "00p0"
        "E000"
        "0000"
        "0b00"
        "0000");
}

TEST(EditorMapTest, EachThingHasItsOwnLookAndTheFloorBelowShowsDimmed) {
    EditorSession editor(smallLevel());
    ASSERT_EQ(editor.cursor(), (CellPlace{2, 1, 1}));
    press(editor, kLeftArrowCode);  // the cursor off the start, onto (1, 1, 1)
    const std::vector<std::string> lines = textOf(mapPicture(editor, 8, 4, {}, std::nullopt));
    ASSERT_EQ(lines.size(), 4U);
    const std::string floor = look(map_look::kFloor);
    EXPECT_EQ(lines[1], look(map_look::kBlock) + floor + look(map_look::kEnemy) + floor);
    EXPECT_EQ(lines[2], floor + look(map_look::kCursor) + look(map_look::kStart) + floor);
    EXPECT_EQ(lines[3], look(map_look::kExit) + floor + floor + floor);

    // On the top layer, only the cells over a block or the exit show a floor.
    press(editor, kPageUpCode);
    const std::vector<std::string> top = textOf(mapPicture(editor, 8, 4, {}, std::nullopt));
    const std::string empty = look(map_look::kEmpty);
    EXPECT_EQ(top[1], floor + empty + empty + empty);
    EXPECT_EQ(top[2], empty + look(map_look::kCursor) + empty + empty);
    EXPECT_EQ(top[3], floor + empty + empty + empty);
}

TEST(EditorMapTest, TheBoxShowsWhereItCrossesTheLayer) {
    EditorSession editor(smallLevel());
    editor.handleKey(kKeyMark);
    press(editor, kUpArrowCode);
    press(editor, kRightArrowCode);
    press(editor, kPageUpCode);
    // From (2, 1, 1) to (3, 2, 2): the same on both layers, the cursor over it.
    const std::string box = look(map_look::kInBox);
    for (int layer = 2; layer >= 1; --layer) {
        const std::vector<std::string> lines = textOf(mapPicture(editor, 8, 4, {}, std::nullopt));
        EXPECT_EQ(lines[1].substr(4), box + look(map_look::kCursor)) << layer;
        EXPECT_EQ(lines[2].substr(4), box + box) << layer;
        EXPECT_EQ(lines[1].substr(0, 4).find(box), std::string::npos) << layer;
        press(editor, kPageDownCode);
    }
    editor.handleKey(kKeyEscape);
    EXPECT_EQ(textOf(mapPicture(editor, 8, 4, {}, std::nullopt))[2].find(box), std::string::npos);
}

TEST(EditorMapTest, ScrollingKeepsTheCursorInViewAndClicksFindTheCellsShown) {
    EditorSession editor(EditedLevel::newLevel({100, 3, 60}));
    MapScroll scroll;
    const std::int32_t columns = 30;  // 15 cells across
    const std::int32_t lines = 11;    // a heading and 10 rows
    keepInView(scroll, editor.cursor(), editor.level().sizes(), columns, lines);
    EXPECT_EQ(scroll, (MapScroll{36, 0}));
    std::mt19937 random(3);
    const int arrows[] = {kUpArrowCode, kDownArrowCode, kLeftArrowCode, kRightArrowCode};
    for (int step = 0; step < 2000; ++step) {
        press(editor, arrows[random() % 4]);
        const MapScroll before = scroll;
        keepInView(scroll, editor.cursor(), editor.level().sizes(), columns, lines);
        const CellPlace cursor = editor.cursor();
        ASSERT_GE(cursor.x, scroll.x);
        ASSERT_LT(cursor.x, scroll.x + 15);
        ASSERT_GE(cursor.z, scroll.z);
        ASSERT_LT(cursor.z, scroll.z + 10);
        // It moves only when the cursor would leave the map, and by no more than one cell.
        ASSERT_LE(std::abs(scroll.x - before.x) + std::abs(scroll.z - before.z), 1);
    }
    const std::vector<std::string> picture = textOf(mapPicture(editor, columns, lines, scroll, std::nullopt));
    const CellPlace cursor = editor.cursor();
    for (std::int32_t line = 0; line < lines; ++line) {
        for (std::int32_t column = 0; column < columns; ++column) {
            const auto cell = mapCellAt(editor.level().sizes(), columns, lines, scroll, column, line);
            const bool cursorShown =
                picture[static_cast<std::size_t>(line)].substr(static_cast<std::size_t>(column / 2) * 2, 2) ==
                look(map_look::kCursor);
            EXPECT_EQ(cell && cell->x == cursor.x && cell->z == cursor.z, cursorShown)
                << line << " " << column;
        }
    }
    EXPECT_FALSE(mapCellAt(editor.level().sizes(), columns, lines, scroll, 5, 0));  // the heading
}

TEST(EditorMapTest, ALevelSmallerThanTheMapShowsItsCellsOnly) {
    const LevelSizes sizes{3, 2, 2};
    EXPECT_EQ(mapCellAt(sizes, 20, 10, {}, 0, 1), (MapCell{0, 1}));
    EXPECT_EQ(mapCellAt(sizes, 20, 10, {}, 5, 2), (MapCell{2, 0}));
    EXPECT_FALSE(mapCellAt(sizes, 20, 10, {}, 6, 1));
    EXPECT_FALSE(mapCellAt(sizes, 20, 10, {}, 0, 3));
}

TEST(EditorScreenTest, FromEightyByTwentyFourUpElseTheGamesNotice) {
    EditorSession editor(EditedLevel::newLevel(kNewLevelSizes));
    EditorScreen screen;
    const ScreenFacts facts{"new.lvl", false, std::nullopt, 2.0};
    // The window's last column is kept free, as the game keeps it: 80 columns give 79.
    const std::vector<std::string> small = textOf(screen.compose(editor, facts, 78, 24));
    const std::string notice = "Please make the window at least 80 x 24";
    EXPECT_NE(small[11].find(notice), std::string::npos);
    EXPECT_FALSE(screen.mapCellAt(10, 5));
    EXPECT_NE(textOf(screen.compose(editor, facts, 100, 23))[11].find(notice), std::string::npos);

    const Picture picture = screen.compose(editor, facts, 79, 24);
    const std::vector<std::string> lines = textOf(picture);
    ASSERT_EQ(lines.size(), 24U);
    for (const std::string& line : lines) {
        EXPECT_EQ(line.size(), 79U);
    }
    EXPECT_EQ(lines[22].find(kEditorHelpLines[0]), 0U);
    EXPECT_EQ(lines[23].find(kEditorHelpLines[1]), 0U);
    EXPECT_EQ(lines[19].find(statusText(editor, facts)), 0U);
    EXPECT_EQ(lines[19].find("new.lvl  16x8x16  cursor 8,1,0 start  new file"), 0U);
    EXPECT_EQ(lines[20].find("Ready to play"), 0U);
    // A click finds the map cell it is on: the cursor's row is the last of the map.
    EXPECT_EQ(screen.mapCellAt(16, 16), (MapCell{8, 0}));
    EXPECT_EQ(screen.mapCellAt(0, 1), (MapCell{0, 15}));
}

TEST(EditorScreenTest, TheStatusTellsTheStateAndTheNoticeWhatMattersMost) {
    EditorSession editor(EditedLevel::newLevel({6, 3, 6}));
    const ScreenFacts facts{"a\x1b[2Jb.lvl", true, std::nullopt, 2.0};
    EXPECT_EQ(statusText(editor, facts), "a\\x1b[2Jb.lvl  6x3x6  cursor 3,1,0 start");
    editor.handleKey(kKeyMark);
    press(editor, kUpArrowCode);
    editor.handleKey('0');
    EXPECT_EQ(statusText(editor, facts), "a\\x1b[2Jb.lvl  6x3x6  cursor 3,1,1 empty  unsaved changes");
    editor.handleKey(kKeyMark);
    EXPECT_EQ(statusText(editor, facts),
              "a\\x1b[2Jb.lvl  6x3x6  cursor 3,1,1 empty  box 1x1x1  unsaved changes");

    EXPECT_EQ(noticeText(editor, facts), "Not ready to play: no player start: the level needs one p.");
    editor.handleKey(kKeyUndo);
    editor.handleKey(kKeyUndo);
    EXPECT_EQ(noticeText(editor, facts), "Nothing to undo.");
    editor.handleKey(kKeyGrow);
    EXPECT_EQ(noticeText(editor, facts).find("Grow the level on which side?"), 0U);
    editor.handleKey(kKeyEscape);
    editor.handleKey('b');
    editor.handleKey(kKeyQuit);
    EXPECT_EQ(noticeText(editor, facts).find("Save the changes to a\\x1b[2Jb.lvl before quitting?"), 0U);

    // A long name shows its end, or the whole of it where the line has room.
    const std::string path = "/home/someone/levels/" + std::string(40, 'x') + "/mine.lvl";
    const ScreenFacts longName{path, true, {}, 2.0};
    EXPECT_EQ(statusText(editor, longName).substr(0, 20), "..." + std::string(8, 'x') + "/mine.lvl");
    const std::string rest = "  6x3x6  cursor 3,1,1 block  unsaved changes";
    EXPECT_EQ(statusText(editor, longName, 200), path + rest);
    EXPECT_EQ(statusText(editor, longName, static_cast<std::int32_t>(path.size() + rest.size())), path + rest);
    const std::string fitted = statusText(editor, longName, 79);
    EXPECT_EQ(fitted.size(), 79U);
    EXPECT_EQ(fitted, "..." + path.substr(path.size() + rest.size() + 3 - 79) + rest);
}

TEST(EditorScreenTest, QuestionMarkListsEveryKeyOverTheScreenUntilAKey) {
    EditorSession editor(EditedLevel::newLevel(kNewLevelSizes));
    EditorScreen screen;
    const ScreenFacts facts{"new.lvl", false, std::nullopt, 2.0};
    const std::vector<std::string> plain = textOf(screen.compose(editor, facts, 79, 24));
    editor.handleKey(kKeyHelp);
    const std::vector<std::string> listed = textOf(screen.compose(editor, facts, 79, 24));
    std::string all;
    for (const std::string& line : listed) {
        all += line + "\n";
    }
    for (const char* line : kEditorKeyList) {
        EXPECT_NE(all.find(line), std::string::npos) << line;
    }
    // The keys no other line names are listed.
    for (const char* key : {"Ctrl+W", "t  T", "g s then a side", "PgUp or + (the top)", "mouse"}) {
        EXPECT_NE(all.find(key), std::string::npos) << key;
    }
    // An arrow closes the list, whole, and does nothing else.
    press(editor, kUpArrowCode);
    EXPECT_FALSE(editor.helpShown());
    EXPECT_EQ(textOf(screen.compose(editor, facts, 79, 24)), plain);
    editor.handleKey(kKeyHelp);
    editor.handleKey('b');
    EXPECT_FALSE(editor.helpShown());
    EXPECT_FALSE(editor.unsaved());
}

TEST(EditorScreenTest, ColourOnlyWhenAskedForAndAsTheGameColours) {
    EditorSession editor(smallLevel());
    EditorScreen screen;
    const Picture plain = screen.compose(editor, {"s.lvl", true, std::nullopt, 2.0}, 90, 30);
    for (const CellLine& line : plain.lines) {
        for (const Cell& cell : line) {
            ASSERT_EQ(cell.colour, kNoColour);
        }
    }
    const Picture coloured = screen.compose(editor, {"s.lvl", true, ColourDepth::Direct24, 2.0}, 90, 30);
    EXPECT_EQ(mapPicture(editor, 8, 4, {}, ColourDepth::Direct24).lines[1][0].colour,
              stepColour(FaceKind::BlockSideX, 0, ColourDepth::Direct24));
    EXPECT_EQ(mapPicture(editor, 8, 4, {}, ColourDepth::Direct24).lines[3][0].colour,
              stepColour(FaceKind::ExitDoor, 0, ColourDepth::Direct24));
    int colouredViewCells = 0;
    for (const CellLine& line : coloured.lines) {
        for (std::size_t c = 40; c < line.size(); ++c) {
            colouredViewCells += line[c].colour != kNoColour ? 1 : 0;
        }
    }
    EXPECT_GT(colouredViewCells, 100);
}

// The frame the game itself shows of `level` at its start, in `columns` x `lines` cells.
std::vector<std::string> gameFrame(const EditedLevel& level, std::int32_t columns, std::int32_t lines) {
    GameState game;
    game.render.screenDrawn = true;
    startLevel(game, Level(level.levelString()));
    gameTick(game);
    std::mutex lock;
    testing::RecordingConsole console;
    ShownPictures shown;
    drawScreens(game, lock, console, PictureLayout{true, columns, lines, 2.0}, shown);
    std::vector<std::string> frame = testing::splitLines(console.lastPage());
    for (std::string& line : frame) {
        line.pop_back();  // the edge
    }
    return frame;
}

TEST(EditorScreenTest, TheViewFromTheStartIsTheGamesOwnPicture) {
    EditedLevel level = EditedLevel::newLevel({20, 6, 24});
    level.fillBox({{2, 1, 8}, {15, 3, 9}}, 'b');
    level.fillBox({{6, 1, 8}, {7, 2, 9}}, '0');
    level.setLetter({10, 4, 9}, 'E');
    EditorSession editor(level);
    editor.handleKey(kKeySwitchView);
    for (int i = 0; i < 5; ++i) {
        press(editor, kUpArrowCode);  // the cursor elsewhere: the view stays at the start
    }
    EditorScreen screen;
    const std::vector<std::string> lines =
        textOf(screen.compose(editor, {"v.lvl", true, std::nullopt, 2.0}, 120, 40));
    const EditorLayout layout = editorLayout(120, 40, level.sizes());
    const std::int32_t viewColumns = 120 - layout.viewColumn;
    const std::vector<std::string> game = gameFrame(level, viewColumns, layout.bodyLines - 1);
    ASSERT_EQ(game.size(), static_cast<std::size_t>(layout.bodyLines - 1));
    for (std::size_t i = 0; i < game.size(); ++i) {
        EXPECT_EQ(lines[i + 1].substr(static_cast<std::size_t>(layout.viewColumn)), game[i]) << i;
    }
}

// From inside a block or an enemy the view would be one face: it steps back, against its facing,
// to the nearest cell nothing fills, and says so.
TEST(EditorScreenTest, TheViewFromInsideAFilledCellStepsBackToAnEmptyOne) {
    struct Case {
        const char* name;
        char filler;
        int turns;                  // ] presses
        std::vector<int> toInside;  // arrows from the empty cell to the filled one
        const char* heading;
    };
    const Case cases[] = {
        {"a block, looking far",
         'b',
         0,
         {kUpArrowCode, kUpArrowCode},
         "3D view from the cursor, looking far, 2 cells back"},
        {"an enemy, looking right",
         'e',
         1,
         {kRightArrowCode},
         "3D view from the cursor, looking right, 1 cell back"},
    };
    for (const Case& c : cases) {
        EditedLevel level = EditedLevel::newLevel({20, 6, 24});
        level.fillBox({{10, 1, 3}, {10, 1, 4}}, 'b');  // two blocks far of the start (10, 1, 0)
        level.setLetter({11, 1, 2}, c.filler);
        EditorSession outside(level);
        press(outside, kUpArrowCode);
        press(outside, kUpArrowCode);  // (10, 1, 2), empty
        EditorSession inside(level);
        for (int i = 0; i < c.turns; ++i) {
            outside.handleKey(kKeyTurnViewRight);
            inside.handleKey(kKeyTurnViewRight);
        }
        press(inside, kUpArrowCode);
        press(inside, kUpArrowCode);
        for (const int arrow : c.toInside) {
            press(inside, arrow);
        }
        const char filled = inside.level().letterAt(inside.cursor());
        ASSERT_TRUE(filled == 'b' || filled == 'e') << c.name;
        EditorScreen fromOutside;
        EditorScreen fromInside;
        const ScreenFacts facts{"v.lvl", true, std::nullopt, 2.0};
        const std::vector<std::string> expected = textOf(fromOutside.compose(outside, facts, 120, 40));
        const std::vector<std::string> shown = textOf(fromInside.compose(inside, facts, 120, 40));
        const EditorLayout layout = editorLayout(120, 40, level.sizes());
        const auto view = static_cast<std::size_t>(layout.viewColumn);
        EXPECT_EQ(shown[0].substr(view, std::string(c.heading).size()), c.heading) << c.name;
        for (std::size_t i = 1; i < static_cast<std::size_t>(layout.bodyLines); ++i) {
            EXPECT_EQ(shown[i].substr(view), expected[i].substr(view)) << c.name << " " << i;
        }
    }
}

TEST(EditorScreenTest, TheViewFollowsEveryChangeAsAFreshViewWouldDrawIt) {
    EditorSession editor(EditedLevel::newLevel({24, 5, 24}));
    LevelView followed;
    std::mt19937 random(11);
    const int keys[] = {'b', 'b', 'E', '0', ' ', 'v', 'e', '+', '-', ']', 'u', 'r'};
    const int arrows[] = {kUpArrowCode, kDownArrowCode, kLeftArrowCode, kRightArrowCode};
    for (int step = 0; step < 400; ++step) {
        if (random() % 2 == 0) {
            press(editor, arrows[random() % 4]);
        } else {
            editor.handleKey(keys[random() % std::size(keys)]);
        }
        followed.follow(editor.levelForView());
        if (step % 20 == 0) {
            const CellPlace cursor = editor.cursor();
            // Back where the cursor stands, looking far, so that the changes are in view.
            const ViewCamera camera{{static_cast<double>(cursor.x), static_cast<double>(cursor.y) + 1.0,
                                     static_cast<double>(cursor.z) - 4.0},
                                    0.0};
            const EditedLevel& level = editor.level();
            EditedLevel whole(level.sizes(), level.cells());  // new, so wholly to be built
            LevelView fresh;
            fresh.follow(whole);
            ASSERT_EQ(followed.draw(level, camera, 60, 30, 2.0, std::nullopt),
                      fresh.draw(whole, camera, 60, 30, 2.0, std::nullopt))
                << step;
        }
    }
}

}  // namespace
}  // namespace brickstorm::editor
