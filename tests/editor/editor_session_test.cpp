// The editor's keys on its level, without a terminal: the cursor and layers, letters, the start,
// boxes across layers, undo and redo, growing and shrinking, the questions on the way out, and
// the mouse.
#include "editor/editor_session.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/key_codes.h"
#include "editor/editor_keys.h"

namespace brickstorm::editor {
namespace {

constexpr int kUp = kUpArrowCode;
constexpr int kDown = kDownArrowCode;
constexpr int kLeft = kLeftArrowCode;
constexpr int kRight = kRightArrowCode;
constexpr int kPageUp = kPageUpCode;
constexpr int kPageDown = kPageDownCode;

// Presses the extended keys given by their own codes, each after its prefix.
EditorRequest press(EditorSession& editor, std::initializer_list<int> arrows) {
    EditorRequest last = EditorRequest::None;
    for (const int code : arrows) {
        editor.handleKey(kNavigationKeyPrefix);
        last = editor.handleKey(code);
    }
    return last;
}

// Types ordinary keys.
EditorRequest type(EditorSession& editor, std::string_view keys) {
    EditorRequest last = EditorRequest::None;
    for (const char key : keys) {
        last = editor.handleKey(static_cast<unsigned char>(key));
    }
    return last;
}

EditorSession newEditor(LevelSizes sizes = kNewLevelSizes) {
    return EditorSession(EditedLevel::newLevel(sizes));
}

TEST(EditorSessionTest, TheCursorStartsOnTheStartAndStaysInTheLevel) {
    EditorSession editor = newEditor({4, 3, 5});
    EXPECT_EQ(editor.cursor(), (CellPlace{2, 1, 0}));
    press(editor, {kUp, kUp, kRight});
    EXPECT_EQ(editor.cursor(), (CellPlace{3, 1, 2}));
    press(editor, {kRight, kDown, kDown, kDown, kDown});  // against the right and near sides
    EXPECT_EQ(editor.cursor(), (CellPlace{3, 1, 0}));
    press(editor, {kPageUp, kPageUp});
    EXPECT_EQ(editor.cursor().y, 2);
    type(editor, "---");
    EXPECT_EQ(editor.cursor().y, 0);
    type(editor, "=+");
    EXPECT_EQ(editor.cursor().y, 2);
    press(editor, {kPageDown, kLeft});
    EXPECT_EQ(editor.cursor(), (CellPlace{2, 1, 0}));
    EXPECT_FALSE(editor.unsaved());
}

TEST(EditorSessionTest, LettersSetTheCellAndSpaceTogglesABlock) {
    EditorSession editor = newEditor({4, 3, 5});
    press(editor, {kUp});
    const char* const keys[] = {"b", "E", "e", "0", " ", " ", "E "};
    const char expected[] = {'b', 'E', 'e', '0', 'b', '0', 'b'};
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        type(editor, keys[i]);
        EXPECT_EQ(editor.level().letterAt({2, 1, 1}), expected[i]) << keys[i];
    }
    EXPECT_TRUE(editor.unsaved());
    type(editor, "xX!\x7f");  // keys that mean nothing here
    EXPECT_EQ(editor.level().letterAt({2, 1, 1}), 'b');
}

TEST(EditorSessionTest, SettingTheStartMovesIt) {
    auto level = EditedLevel::newLevel({5, 3, 5});
    level.setLetter({0, 2, 4}, 'p');  // a second start, as a file may hold
    EditorSession editor{std::move(level)};
    press(editor, {kUp, kUp, kLeft});
    type(editor, "p");
    EXPECT_EQ(editor.level().playerStarts(), 1);
    EXPECT_EQ(editor.level().letterAt({1, 1, 2}), 'p');
    EXPECT_EQ(editor.level().letterAt({2, 1, 0}), '0');
    EXPECT_EQ(editor.level().letterAt({0, 2, 4}), '0');
    // One undo puts both old starts back.
    type(editor, "u");
    EXPECT_EQ(editor.level().playerStarts(), 2);
    EXPECT_EQ(editor.level().letterAt({2, 1, 0}), 'p');
    EXPECT_EQ(editor.level().letterAt({1, 1, 2}), '0');
    // On one of two starts, p keeps that one and clears the other.
    press(editor, {kDown, kDown, kRight});
    ASSERT_EQ(editor.cursor(), (CellPlace{2, 1, 0}));
    type(editor, "p");
    EXPECT_EQ(editor.level().playerStarts(), 1);
    EXPECT_EQ(editor.level().letterAt({2, 1, 0}), 'p');
    EXPECT_EQ(editor.level().letterAt({0, 2, 4}), '0');
}

TEST(EditorSessionTest, ABoxAcrossLayersIsFilledAtOnceAndUndoneAtOnce) {
    EditorSession editor = newEditor({6, 4, 6});
    const EditedLevel original = editor.level();
    press(editor, {kRight});
    type(editor, "v");
    press(editor, {kUp, kUp, kRight, kPageUp, kPageUp});
    ASSERT_EQ(editor.markedBox(), (CellBox{{4, 1, 0}, {5, 3, 2}}));
    type(editor, "b");
    EXPECT_FALSE(editor.mark());  // the box is done with
    for (std::int32_t y = 1; y <= 3; ++y) {
        EXPECT_EQ(editor.level().boxLetters({{4, y, 0}, {5, y, 2}}), "bbbbbb") << y;
    }
    EXPECT_EQ(editor.level().letterAt({3, 1, 0}), 'p');  // outside the box
    EXPECT_EQ(editor.level().letterAt({3, 2, 1}), '0');

    type(editor, "u");
    EXPECT_EQ(editor.level(), original);
    EXPECT_EQ(editor.mark(), (CellPlace{4, 1, 0}));  // as it stood before the fill
    EXPECT_EQ(editor.cursor(), (CellPlace{5, 3, 2}));
    type(editor, "r");
    EXPECT_EQ(editor.level().boxLetters({{4, 1, 0}, {5, 3, 2}}), std::string(18, 'b'));
    EXPECT_FALSE(editor.mark());

    // Space fills with the toggle of the cursor's cell; Escape and v drop the mark.
    type(editor, "v");
    press(editor, {kLeft, kPageDown});
    type(editor, " ");
    EXPECT_EQ(editor.level().boxLetters({{4, 2, 2}, {5, 3, 2}}), "0000");
    type(editor,
         "vv"
         "E");
    EXPECT_EQ(editor.level().boxLetters({{4, 2, 2}, {5, 3, 2}}), "E000");
    type(editor,
         "v\x1b"
         "e");
    EXPECT_FALSE(editor.mark());
    EXPECT_EQ(editor.level().boxLetters({{4, 2, 2}, {5, 3, 2}}), "e000");
}

TEST(EditorSessionTest, UndoAndRedoWalkTheWholeHistory) {
    EditorSession editor = newEditor({6, 4, 6});
    const EditedLevel original = editor.level();
    type(editor, "b");
    press(editor, {kUp});
    type(editor, "e");
    type(editor, "g");
    press(editor, {kLeft});
    type(editor, "s-");
    const EditedLevel edited = editor.level();
    EXPECT_EQ(edited.sizes(), (LevelSizes{7, 3, 6}));
    type(editor, "uuuu");
    EXPECT_EQ(editor.level(), original);
    EXPECT_FALSE(editor.unsaved());
    type(editor, "u");
    EXPECT_EQ(editor.message(), "Nothing to undo.");
    type(editor, "rrrr");
    EXPECT_EQ(editor.level(), edited);
    type(editor, "r");
    EXPECT_EQ(editor.message(), "Nothing to redo.");
    // A new change after undoing forgets what was undone.
    type(editor, "uu0r");
    EXPECT_EQ(editor.message(), "Nothing to redo.");
}

TEST(EditorSessionTest, OneChangeOfTheLargestLevelCostsTheHistoryNextToNothing) {
    EditorSession editor = newEditor({256, 128, 256});
    type(editor, "b");
    press(editor, {kUp});
    type(editor, "e");
    EXPECT_LT(editor.history().memoryUse(), 1024U);
}

TEST(EditorSessionTest, GrowingAndShrinkingKeepTheCursorOnItsCell) {
    struct Case {
        const char* name = "";
        bool extended = false;
        int key = 0;
        LevelSizes grown;
        CellPlace cursorAfterGrowing;
    };
    // The cursor stands on the start at (2, 1, 0) of a 5 x 3 x 4 level.
    const Case cases[] = {
        {"left", true, kLeft, {6, 3, 4}, {3, 1, 0}},       {"right", true, kRight, {6, 3, 4}, {2, 1, 0}},
        {"near", true, kDown, {5, 3, 5}, {2, 1, 1}},       {"far", true, kUp, {5, 3, 5}, {2, 1, 0}},
        {"bottom", true, kPageDown, {5, 4, 4}, {2, 2, 0}}, {"top", true, kPageUp, {5, 4, 4}, {2, 1, 0}},
        {"bottom by -", false, '-', {5, 4, 4}, {2, 2, 0}}, {"top by +", false, '+', {5, 4, 4}, {2, 1, 0}},
        {"top by =", false, '=', {5, 4, 4}, {2, 1, 0}},
    };
    for (const Case& c : cases) {
        EditorSession editor = newEditor({5, 3, 4});
        const EditedLevel original = editor.level();
        const auto side = [&](char command) {
            type(editor, std::string(1, command));
            if (c.extended) {
                press(editor, {c.key});
            } else {
                editor.handleKey(c.key);
            }
        };
        type(editor, "v");  // a box's mark on the cursor's cell moves with it
        side('g');
        EXPECT_EQ(editor.level().sizes(), c.grown) << c.name;
        EXPECT_EQ(editor.cursor(), c.cursorAfterGrowing) << c.name;
        EXPECT_EQ(editor.mark(), c.cursorAfterGrowing) << c.name;
        EXPECT_EQ(editor.level().letterAt(editor.cursor()), 'p') << c.name;
        side('s');
        EXPECT_EQ(editor.level(), original) << c.name;
        EXPECT_EQ(editor.cursor(), (CellPlace{2, 1, 0})) << c.name;
        EXPECT_EQ(editor.mark(), (CellPlace{2, 1, 0})) << c.name;
        type(editor, "uu");
        EXPECT_EQ(editor.level(), original) << c.name;
        EXPECT_FALSE(editor.unsaved()) << c.name;
    }
}

TEST(EditorSessionTest, ShrinkingAwayTheCursorsSlabKeepsItInside) {
    EditorSession editor = newEditor({5, 3, 4});
    type(editor, "s");
    press(editor, {kDown});  // the near row, where the cursor stands
    EXPECT_EQ(editor.level().sizes(), (LevelSizes{5, 3, 3}));
    EXPECT_EQ(editor.cursor(), (CellPlace{2, 1, 0}));
    EXPECT_EQ(editor.level().playerStarts(), 0);
    ASSERT_FALSE(editor.problems().empty());
    EXPECT_EQ(editor.problems().front().what, "no player start: the level needs one p");
    type(editor, "u");
    EXPECT_EQ(editor.level().playerStarts(), 1);
    EXPECT_TRUE(editor.problems().empty());
}

TEST(EditorSessionTest, ALayersCommentsGoAndComeBackWithTheLayer) {
    auto level =
        *EditedLevel::fromLevelString("001003001b0p", {}, {{1, "# Layer 1: empty"}, {2, "# the top"}});
    EditorSession editor(level);
    type(editor, "s");
    press(editor, {kPageDown});  // the bottom layer, and the comments of layer 1 with it down a layer
    EXPECT_EQ(editor.level().layerComments(0), std::vector<std::string>{"# Layer 1: empty"});
    EXPECT_EQ(editor.level().layerComments(1), std::vector<std::string>{"# the top"});
    type(editor, "s+");  // the top layer goes, its comment with it
    EXPECT_EQ(editor.level().sizes(), (LevelSizes{1, 1, 1}));
    EXPECT_EQ(editor.level().layerComments(0), std::vector<std::string>{"# Layer 1: empty"});
    EXPECT_EQ(editor.level().layerComments(1), std::vector<std::string>{});
    type(editor, "g+");  // a new layer has none
    EXPECT_EQ(editor.level().layerComments(1), std::vector<std::string>{});
    type(editor, "uuu");
    EXPECT_EQ(editor.level(), level);
    EXPECT_EQ(editor.level().layerComments(1), std::vector<std::string>{"# Layer 1: empty"});
    EXPECT_EQ(editor.level().layerComments(2), std::vector<std::string>{"# the top"});
}

TEST(EditorSessionTest, SizesHaveLimits) {
    EditorSession thin = newEditor({1, 3, 4});
    type(thin, "s");
    press(thin, {kLeft});
    EXPECT_EQ(thin.level().sizes(), (LevelSizes{1, 3, 4}));
    EXPECT_EQ(thin.message(), "The level cannot shrink on the left side: it is one cell thick there.");

    EditorSession wide = newEditor({999, 1, 2});
    type(wide, "g");
    press(wide, {kRight});
    EXPECT_EQ(wide.level().sizes(), (LevelSizes{999, 1, 2}));
    EXPECT_NE(wide.message().find("cannot grow on the right side"), std::string::npos);

    EditorSession largest = newEditor({256, 128, 256});
    type(largest, "g+");
    EXPECT_EQ(largest.level().sizes(), (LevelSizes{256, 128, 256}));
    EXPECT_FALSE(largest.history().canUndo());

    // Any other key drops the choice of side.
    EditorSession editor = newEditor({5, 3, 4});
    type(editor, "gx");
    press(editor, {kLeft});
    EXPECT_EQ(editor.level().sizes(), (LevelSizes{5, 3, 4}));
    EXPECT_EQ(editor.cursor().x, 1);
}

TEST(EditorSessionTest, QuittingAsksFirstWhenThereAreUnsavedChanges) {
    struct Case {
        const char* name;
        bool change;
        std::string_view keys;
        EditorRequest request;
        EditorQuestion question;
    };
    const Case cases[] = {
        {"nothing changed", false, "q", EditorRequest::Quit, EditorQuestion::None},
        {"asked", true, "q", EditorRequest::None, EditorQuestion::Quit},
        {"y saves and quits", true, "qy", EditorRequest::SaveAndQuit, EditorQuestion::None},
        {"n quits", true, "qn", EditorRequest::Quit, EditorQuestion::None},
        {"any other key goes back", true, "qY", EditorRequest::None, EditorQuestion::None},
        {"Escape goes back", true, "q\x1b", EditorRequest::None, EditorQuestion::None},
        {"Ctrl+C asks the same", true, "\x03n", EditorRequest::Quit, EditorQuestion::None},
    };
    for (const Case& c : cases) {
        EditorSession editor = newEditor();
        if (c.change) {
            type(editor, "b");
        }
        EXPECT_EQ(type(editor, c.keys), c.request) << c.name;
        EXPECT_EQ(editor.question(), c.question) << c.name;
    }
    // An arrow answers as any other key: the whole of it.
    EditorSession editor = newEditor();
    type(editor, "bq");
    press(editor, {kLeft});
    EXPECT_EQ(editor.question(), EditorQuestion::None);
    EXPECT_EQ(editor.cursor().x, 8);
    EXPECT_EQ(editor.interrupt(), EditorRequest::None);
    EXPECT_EQ(editor.question(), EditorQuestion::Quit);
    EXPECT_EQ(editor.interrupt(), EditorRequest::None);  // twice: back to editing
    EXPECT_EQ(editor.question(), EditorQuestion::None);
}

TEST(EditorSessionTest, SavingTracksWhatIsOnDisk) {
    EditorSession editor = newEditor();
    EXPECT_EQ(type(editor, "b\x13"), EditorRequest::Save);
    editor.saved();
    EXPECT_FALSE(editor.unsaved());
    type(editor, "u");
    EXPECT_TRUE(editor.unsaved());  // the file holds the block
    type(editor, "r");
    EXPECT_FALSE(editor.unsaved());

    type(editor, "e");
    editor.saveFailed("the disk is full");
    EXPECT_EQ(editor.message(), "Not saved: the disk is full. Every change is kept.");
    EXPECT_TRUE(editor.unsaved());
    EXPECT_EQ(editor.level().letterAt(editor.cursor()), 'e');

    editor.askToOverwrite(false);
    EXPECT_EQ(type(editor, "y"), EditorRequest::Overwrite);
    editor.askToOverwrite(true);
    EXPECT_EQ(type(editor, "n"), EditorRequest::None);
    EXPECT_EQ(editor.message(), "Not saved: the file on disk is left as it is, and every change is kept.");
    editor.askToOverwrite(true);
    EXPECT_EQ(type(editor, "y"), EditorRequest::OverwriteAndQuit);

    // A stroke of the mouse saved half way and then drawn on is unsaved again.
    EditorSession stroke = newEditor({8, 3, 8});
    type(stroke, "E");
    stroke.pointerPressed(1, 1);
    stroke.pointerDragged(2, 1);
    stroke.saved();
    EXPECT_FALSE(stroke.unsaved());
    stroke.pointerDragged(3, 1);
    EXPECT_EQ(stroke.level().letterAt({3, 1, 1}), 'E');
    EXPECT_TRUE(stroke.unsaved());
}

TEST(EditorSessionTest, SaveAsTakesATypedName) {
    struct Case {
        const char* name;
        std::string_view keys;  // after Ctrl+W
        EditorRequest request;
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {"Enter saves", "other.lvl\r", EditorRequest::SaveAs, "other.lvl", ""},
        {"Backspace takes a character back",
         "ab\x7f\x08"
         "c.lvl\r",
         EditorRequest::SaveAs, "c.lvl", ""},
        {"a letter of two bytes goes whole", "d\xc3\xa9\x7f.lvl\n", EditorRequest::SaveAs, "d.lvl", ""},
        {"Escape goes back", "x.lvl\x1b", EditorRequest::None, "x.lvl", ""},
        {"Ctrl+C goes back", "x.lvl\x03", EditorRequest::None, "x.lvl", ""},
        {"no name", "\r", EditorRequest::None, "", "Not saved: no name was given."},
        {"the editor's keys are letters here", "qtu\r", EditorRequest::SaveAs, "qtu", ""},
    };
    for (const Case& c : cases) {
        EditorSession editor = newEditor();
        type(editor, "\x17");
        EXPECT_EQ(editor.question(), EditorQuestion::SaveAs) << c.name;
        EXPECT_EQ(type(editor, c.keys), c.request) << c.name;
        EXPECT_EQ(editor.typedName(), c.typed) << c.name;
        EXPECT_EQ(editor.question(), EditorQuestion::None) << c.name;
        EXPECT_EQ(editor.message(), c.message) << c.name;
        EXPECT_EQ(editor.level(), EditedLevel::newLevel(kNewLevelSizes)) << c.name;
    }
    // An arrow while typing means nothing, and leaves the name as it was.
    EditorSession editor = newEditor();
    type(editor,
         "\x17"
         "ab");
    press(editor, {kLeft});
    EXPECT_EQ(editor.question(), EditorQuestion::SaveAs);
    EXPECT_EQ(editor.typedName(), "ab");
    EXPECT_EQ(editor.cursor().x, 8);
}

TEST(EditorSessionTest, ARecoveryCopyIsRestoredOrDiscardedOnlyByYesOrNo) {
    EditorSession editor = newEditor({5, 3, 4});
    editor.askToRestore();
    EXPECT_EQ(type(editor, "bq\x1b"), EditorRequest::None);
    EXPECT_EQ(editor.interrupt(), EditorRequest::None);
    EXPECT_EQ(editor.question(), EditorQuestion::Restore);
    EXPECT_EQ(editor.level(), EditedLevel::newLevel({5, 3, 4}));
    EXPECT_EQ(type(editor, "y"), EditorRequest::RestoreRecovery);

    auto recovered = EditedLevel::newLevel({6, 3, 4});
    recovered.setLetter({0, 2, 0}, 'e');
    editor.restore(recovered);
    EXPECT_EQ(editor.level(), recovered);
    EXPECT_TRUE(editor.unsaved());
    EXPECT_EQ(editor.cursor(), (CellPlace{3, 1, 0}));
    // Restoring is a change like another: undone, the level is the file's again, and redone.
    type(editor, "u");
    EXPECT_EQ(editor.level(), EditedLevel::newLevel({5, 3, 4}));
    EXPECT_FALSE(editor.unsaved());
    type(editor, "r");
    EXPECT_EQ(editor.level(), recovered);
    EXPECT_TRUE(editor.unsaved());
    editor.saved();
    EXPECT_FALSE(editor.unsaved());

    EditorSession other = newEditor();
    other.askToRestore();
    EXPECT_EQ(type(other, "n"), EditorRequest::DiscardRecovery);
}

TEST(EditorSessionTest, PlayTestNeedsOneStart) {
    EditorSession editor = newEditor({5, 3, 4});
    EXPECT_EQ(type(editor, "t"), EditorRequest::PlayTest);
    type(editor, "0");
    EXPECT_EQ(type(editor, "t"), EditorRequest::None);
    EXPECT_EQ(editor.message(), "Cannot play-test: no player start: the level needs one p");
    type(editor, "u");
    press(editor, {kUp});
    type(editor, "E");
    EXPECT_EQ(type(editor, "t"), EditorRequest::PlayTest);  // a second exit is no problem
}

TEST(EditorSessionTest, APlayTestFromTheCursorStartsTheLevelThere) {
    struct Case {
        const char* name;
        std::string_view keys;  // after the cursor moved one cell far of the start
        EditorRequest request;
        const char* message;
    };
    const Case cases[] = {
        {"an empty cell", "", EditorRequest::PlayTestHere, ""},
        {"with no start anywhere", "p0", EditorRequest::PlayTestHere, ""},
        {"on the start", "p", EditorRequest::PlayTestHere, ""},
        {"on a block", "b", EditorRequest::None,
         "Cannot play-test from the cursor: its cell holds a block; the player starts in an empty cell."},
        {"on an enemy", "e", EditorRequest::None,
         "Cannot play-test from the cursor: its cell holds an enemy; the player starts in an empty cell."},
    };
    for (const Case& c : cases) {
        EditorSession editor = newEditor({5, 3, 4});
        press(editor, {kUp});
        type(editor, c.keys);
        EXPECT_EQ(type(editor, "T"), c.request) << c.name;
        EXPECT_EQ(editor.message(), c.message) << c.name;
        if (c.request != EditorRequest::PlayTestHere) {
            continue;
        }
        // The level played has its one start on the cursor's cell; the level itself is as it was.
        const auto played = EditedLevel::fromLevelString(editor.levelToPlay(true));
        ASSERT_TRUE(played) << c.name;
        EXPECT_EQ(played->playerStarts(), 1) << c.name;
        EXPECT_EQ(played->letterAt(editor.cursor()), 'p') << c.name;
        EXPECT_EQ(editor.levelToPlay(false), editor.level().levelString()) << c.name;
    }
}

TEST(EditorSessionTest, TheViewTurnsAndSwitches) {
    EditorSession editor = newEditor();
    type(editor, "]]]]]");
    EXPECT_EQ(editor.view(), (ViewChoice{1, false}));
    type(editor, "[[[\t");
    EXPECT_EQ(editor.view(), (ViewChoice{2, true}));
    EXPECT_FALSE(editor.unsaved());
}

TEST(EditorSessionTest, AClickMovesTheCursorAndADragPaintsOneStroke) {
    EditorSession editor = newEditor({8, 3, 8});
    const EditedLevel original = editor.level();
    type(editor, "E");  // the letter set last
    editor.pointerPressed(1, 1);
    EXPECT_EQ(editor.cursor(), (CellPlace{1, 1, 1}));
    EXPECT_EQ(editor.level().letterAt({1, 1, 1}), '0');  // a click only moves
    editor.pointerDragged(4, 1);
    editor.pointerDragged(4, 1);
    editor.pointerDragged(4, 4);  // a jump: the cells between are painted too
    editor.pointerReleased();
    editor.pointerDragged(7, 7);  // no longer held
    EXPECT_EQ(editor.cursor(), (CellPlace{4, 1, 4}));
    EXPECT_EQ(editor.level().exits(), 1 + 4 + 3 + 1);  // (4, 1, 0) was set by the key
    for (std::int32_t x = 1; x <= 4; ++x) {
        EXPECT_EQ(editor.level().letterAt({x, 1, 1}), 'E') << x;
    }
    for (std::int32_t z = 2; z <= 4; ++z) {
        EXPECT_EQ(editor.level().letterAt({4, 1, z}), 'E') << z;
    }
    type(editor, "u");  // the whole stroke
    EXPECT_EQ(editor.level().exits(), 2);
    type(editor, "u");
    EXPECT_EQ(editor.level(), original);

    // Dragging with p moves the start along.
    type(editor, "p");
    editor.pointerPressed(0, 0);
    editor.pointerDragged(0, 3);
    EXPECT_EQ(editor.level().playerStarts(), 1);
    EXPECT_EQ(editor.level().letterAt({0, 1, 3}), 'p');
    // Outside the level the stroke stops at its edge.
    editor.pointerDragged(-5, 30);
    EXPECT_EQ(editor.cursor(), (CellPlace{0, 1, 7}));
}

// Keys may change the letter a held stroke paints with, without changing the level: the stroke
// goes on as one change, and undoing it gives every cell back what it held before the stroke,
// also a cell it painted twice.
TEST(EditorSessionTest, UndoingAStrokeThatPaintedACellTwiceGivesItsFirstLetterBack) {
    EditorSession editor = newEditor({8, 3, 8});
    press(editor, {kUp});
    type(editor, "b");  // (4, 1, 1) a block
    press(editor, {kUp});
    type(editor, "E");  // the letter set last
    const EditedLevel before = editor.level();
    editor.pointerPressed(1, 1);
    editor.pointerDragged(2, 1);  // (1, 1, 1) and (2, 1, 1) become exits
    press(editor, {kRight, kRight});
    type(editor, "b");  // on the block: nothing changes, but b is now the letter
    editor.pointerDragged(1, 1);
    ASSERT_EQ(editor.level().letterAt({1, 1, 1}), 'b');
    type(editor, "u");
    EXPECT_EQ(editor.level(), before);
    type(editor, "r");
    EXPECT_EQ(editor.level().letterAt({1, 1, 1}), 'b');
    EXPECT_EQ(editor.level().letterAt({2, 1, 1}), 'E');
}

// A key may grow or shrink the level while the mouse button is held: the stroke goes on from the
// cell it was over, which moves with the cells or, when its slab is gone, from the level's edge.
TEST(EditorSessionTest, AStrokeGoesOnAfterTheLevelChangesShapeUnderIt) {
    struct Case {
        const char* name = "";
        char command = 0;  // g or s, then the side's arrow
        int side = 0;
        CellPlace from, over, to;        // pressed, dragged over, then dragged to after the key
        std::vector<CellPlace> painted;  // every exit afterwards
    };
    // E sets the cell under the cursor first: the start's, (4, 1, 0), which the near side holds.
    const Case cases[] = {
        // The stroke's cell (7, 7) is in the slab taken away: the line starts at (6, 7).
        {"its slab shrunk away",
         's',
         kRight,
         {6, 1, 7},
         {7, 1, 7},
         {6, 1, 5},
         {{4, 1, 0}, {4, 1, 7}, {6, 1, 7}, {6, 1, 6}, {6, 1, 5}}},
        // Every cell moves one to the right, the stroke's too.
        {"grown on its left",
         'g',
         kLeft,
         {3, 1, 3},
         {4, 1, 3},
         {5, 1, 5},
         {{5, 1, 0}, {5, 1, 7}, {4, 1, 3}, {5, 1, 3}, {5, 1, 4}, {5, 1, 5}}},
        {"shrunk on its near side",
         's',
         kDown,
         {2, 1, 4},
         {2, 1, 5},
         {2, 1, 6},
         {{4, 1, 6}, {2, 1, 3}, {2, 1, 4}, {2, 1, 5}, {2, 1, 6}}},
    };
    for (const Case& c : cases) {
        EditorSession editor = newEditor({8, 3, 8});
        type(editor, "E");
        editor.pointerPressed(c.from.x, c.from.z);
        editor.pointerDragged(c.over.x, c.over.z);
        type(editor, std::string(1, c.command));
        press(editor, {c.side});
        editor.pointerDragged(c.to.x, c.to.z);
        EXPECT_EQ(editor.level().exits(), static_cast<std::int32_t>(c.painted.size())) << c.name;
        for (const CellPlace cell : c.painted) {
            EXPECT_EQ(editor.level().letterAt(cell), 'E') << c.name << " at " << cell.x << ", " << cell.z;
        }
        EXPECT_EQ(editor.cursor(), c.to) << c.name;
    }
}

}  // namespace
}  // namespace brickstorm::editor
