#include "platform/picture_update.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/output_encoding.h"
#include "platform/shown_picture.h"
#include "platform/terminal_sequences.h"

namespace brickstorm::platform {
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
}  // namespace brickstorm::platform
