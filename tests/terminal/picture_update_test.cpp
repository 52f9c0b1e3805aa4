#include "terminal/picture_update.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "terminal/output_encoding.h"
#include "terminal/shown_picture.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::terminal {
namespace {

std::string_view utf8Cell(unsigned char character) { return encodeByte(character, Charset::Utf8); }

struct PicturePair {
    const char* name;
    std::string_view shown;
    std::string_view next;
    std::string_view sent;
};

// The enemy's head (248) over its body (246), one column further right in the second picture.
constexpr PicturePair kPairs[] = {
    {"identical pictures", "ab#\ncd#", "ab#\ncd#", ""},
    {"one cell changed", "abc#\ndef#", "abc#\ndXf#", "\x1b[2;2HX"},
    {"an enemy one column further", "      #\n  \xF8   #\n  \xF6   #", "      #\n   \xF8  #\n   \xF6  #",
     "\x1b[2;3H \xC2\xB0\x1b[3;3H \xC3\xB7"},
    {"an unchanged cell between two changes is sent again", "abcdefghij#", "aXcXefghij#", "\x1b[1;2HXcX"},
    {"the cursor skips a long unchanged stretch", "abcdefghijklmnop#", "XbcdefghijklmnYp#",
     "\x1b[1HX\x1b[13CY"},
    {"a line changed but for its first cell goes whole", "abcd#", "aXYZW", "\x1b[1HaXYZW"},
    {"a turn: new shades over the old", "\xB0\xB0\xB1\xB1  #\n\xB2\xB2\xDB\xDB  #",
     "  \xB0\xB0\xB1\xB1#\n  \xB2\xB2\xDB\xDB#",
     "\x1b[1H  \xE2\x96\x91\xE2\x96\x91\xE2\x96\x92\xE2\x96\x92"
     "\x1b[2H  \xE2\x96\x93\xE2\x96\x93\xE2\x96\x88\xE2\x96\x88"},
    {"a wholly different picture", "ab#\ncd#", "xy#\nzw#", "\x1b[1Hxy\x1b[2Hzw"},
};

TEST(PictureUpdate, SendsTheChangedRunsOrTheWholeLineWhicheverIsShorter) {
    for (const PicturePair& pair : kPairs) {
        EXPECT_EQ(changedCellsBytes(pictureFromText(pair.shown), pictureFromText(pair.next), utf8Cell),
                  pair.sent)
            << pair.name;
    }
}

TEST(PictureUpdate, AWholePictureIsAClearAndEveryLinePlacedByTheCursor) {
    EXPECT_EQ(wholePictureBytes(pictureFromText("ab#\n\n\xB0#"), utf8Cell),
              std::string(kClearScreen) + "ab#\x1b[3H\xE2\x96\x91#");
}

// `text` with its non-blank cells coloured by `colours`, one letter a cell: 'r' red, 'b' blue
// (palette colours), 'n' basic bright red, 'f' basic red written faint, anything else none.
Picture colouredPicture(std::string_view text, std::string_view colours) {
    Picture picture = pictureFromText(text);
    std::size_t at = 0;
    for (CellLine& line : picture.lines) {
        for (Cell& cell : line) {
            const char letter = colours[at++];
            switch (letter) {
            case 'r': cell.colour = paletteColour(196); break;
            case 'b': cell.colour = paletteColour(21); break;
            case 'n': cell.colour = basicColour(9); break;
            case 'f': cell.colour = faintBasicColour(1); break;
            default: cell.colour = kNoColour; break;
            }
        }
        ++at;  // the line break
    }
    return picture;
}

struct ColouredPair {
    const char* name;
    Picture shown;
    Picture next;
    std::string_view sent;
};

TEST(PictureUpdate, ColoursAreSetOnlyWhereTheyChangeAndResetAtTheEnd) {
    const ColouredPair pairs[] = {
        {"a colour added to a cell", colouredPicture("ab#", "..."), colouredPicture("ab#", "r.."),
         "\x1b[1H\x1b[38;5;196ma\x1b[0m"},
        {"a run of one colour and a blank", colouredPicture("....#", "....."),
         colouredPicture("rr .#", "rr..."), "\x1b[1H\x1b[38;5;196mrr \x1b[0m"},
        {"a blank keeps the colour set", colouredPicture("xxxxxxx#", "........"),
         colouredPicture("r r r r#", "r.r.r.r."), "\x1b[1H\x1b[38;5;196mr r r r\x1b[0m"},
        // Every update starts in the terminal's own colours, where the last one left them.
        {"a colour taken away", colouredPicture("ab#", "rr."), colouredPicture("ab#", "..."), "\x1b[1Hab"},
        // Blanks go out in the colour the line before left: it is still set at the end.
        {"a coloured change, then a line where only blanks change", colouredPicture("ab#\nxy#", "...\n..."),
         colouredPicture("Ab#\n  #", "r..\n..."), "\x1b[1H\x1b[38;5;196mA\x1b[2H  \x1b[0m"},
        {"faint text, then a colour that is not", colouredPicture("ab#", "..."), colouredPicture("ab#", "fn."),
         "\x1b[1H\x1b[2;31ma\x1b[22;91mb\x1b[0m"},
        {"faint text from one colour to another", colouredPicture("abc#", "...."),
         colouredPicture("abc#", "nff."), "\x1b[1H\x1b[91ma\x1b[2;31mbc\x1b[0m"},
        // Line by line this would take four colour sequences; one colour at a time takes two.
        {"changes that alternate in colour go one colour at a time",
         colouredPicture(".....#\n.....#", "......\n......"),
         colouredPicture("a...b#\na...b#", "r...b.\nr...b."),
         "\x1b[1H\x1b[38;5;196ma\x1b[2Ha\x1b[1;5H\x1b[38;5;21mb\x1b[2;5Hb\x1b[0m"},
    };
    for (const ColouredPair& pair : pairs) {
        EXPECT_EQ(changedCellsBytes(pair.shown, pair.next, utf8Cell), pair.sent) << pair.name;
    }
    // Nothing at all when only the colour of a blank would differ: a blank shows none.
    EXPECT_EQ(changedCellsBytes(colouredPicture("a b#", "r..."), colouredPicture("a b#", "r..."), utf8Cell),
              "");
}

TEST(PictureUpdate, AColouredWholePictureEndsInTheTerminalsOwnColours) {
    EXPECT_EQ(wholePictureBytes(colouredPicture("ab#", "rb."), utf8Cell),
              std::string(kClearScreen) + "\x1b[38;5;196ma\x1b[38;5;21mb\x1b[39m#");
    EXPECT_EQ(wholePictureBytes(colouredPicture("ab", "rb"), utf8Cell),
              std::string(kClearScreen) + "\x1b[38;5;196ma\x1b[38;5;21mb\x1b[0m");
    EXPECT_EQ(wholePictureBytes(colouredPicture("ab#", "nf."), utf8Cell),
              std::string(kClearScreen) + "\x1b[91ma\x1b[2;31mb\x1b[22;39m#");
}

TEST(Picture, SameLayoutMeansTheSameLinesOfTheSameLengths) {
    EXPECT_TRUE(sameLayout(pictureFromText("ab#\ncd#"), pictureFromText("xy#\nzw#")));
    EXPECT_FALSE(sameLayout(pictureFromText("ab#\ncd#"), pictureFromText("ab#\ncd#\nef#")));
    EXPECT_FALSE(sameLayout(pictureFromText("ab#\ncd#"), pictureFromText("ab#\ncde#")));
}

std::string whole(std::string_view text) {
    return terminalFrame(wholePictureBytes(pictureFromText(text), utf8Cell), false);
}
std::string changes(std::string_view from, std::string_view to) {
    return terminalFrame(changedCellsBytes(pictureFromText(from), pictureFromText(to), utf8Cell), false);
}

TEST(ShownPicture, SendsChangesOnlyWhileTheWindowIsKnownToHoldTheLastPictureInTheSameLayout) {
    ShownPicture shown(utf8Cell, false);
    EXPECT_EQ(shown.update(pictureFromText("ab#\ncd#")), whole("ab#\ncd#")) << "the first picture";
    EXPECT_EQ(shown.update(pictureFromText("ab#\ncd#")), "") << "nothing changed";
    EXPECT_EQ(shown.update(pictureFromText("ab#\ncX#")), changes("ab#\ncd#", "ab#\ncX#"));
    EXPECT_EQ(shown.update(pictureFromText("abc#\ncX#")), whole("abc#\ncX#")) << "a change of layout";
    shown.forget();
    EXPECT_EQ(shown.update(pictureFromText("abc#\ncX#")), whole("abc#\ncX#")) << "after the window lost it";
    EXPECT_EQ(shown.redraw(pictureFromText("abc#\ncX#")), whole("abc#\ncX#")) << "a text screen";
    EXPECT_EQ(shown.redrawLast(), whole("abc#\ncX#"));
}

TEST(ShownPicture, AlwaysWholeSendsEveryPictureWhole) {
    ShownPicture shown(utf8Cell, true);
    EXPECT_EQ(shown.update(pictureFromText("ab#")), whole("ab#"));
    EXPECT_EQ(shown.update(pictureFromText("ab#")), whole("ab#"));
    EXPECT_EQ(shown.update(pictureFromText("aX#")), whole("aX#"));
}

TEST(ShownPicture, NothingToRedrawBeforeTheFirstPicture) {
    ShownPicture shown(utf8Cell, false);
    EXPECT_EQ(shown.redrawLast(), "");
}

}  // namespace
}  // namespace brickstorm::terminal
