#include "terminal/picture_consoles.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "render/colour.h"
#include "render/picture.h"
#include "terminal/output_encoding.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::terminal {
namespace {

// What a console handed to its sink, and what the sink is to answer: a test keeps this while
// the console owns the sink.
struct SinkLog {
    std::vector<std::string> deliveries;
    std::deque<Delivery> answers;  // Delivered once these run out
    bool repaintRequest = false;
    bool lost = false;
    int emptyDeliveries = 0;
    int deliveriesAfterLost = 0;

    std::string all() const {
        std::string bytes;
        for (const std::string& delivery : deliveries) {
            bytes += delivery;
        }
        return bytes;
    }
};

class RecordingSink final : public ByteSink {
public:
    explicit RecordingSink(SinkLog& log) : log_(log) {}

    Delivery deliver(std::string_view bytes) override {
        log_.deliveriesAfterLost += log_.lost ? 1 : 0;
        log_.emptyDeliveries += bytes.empty() ? 1 : 0;
        log_.deliveries.emplace_back(bytes);
        Delivery answer = Delivery::Delivered;
        if (!log_.answers.empty()) {
            answer = log_.answers.front();
            log_.answers.pop_front();
        }
        log_.lost = log_.lost || answer == Delivery::Lost;
        return answer;
    }

    bool takeRepaintRequest() override { return std::exchange(log_.repaintRequest, false); }

private:
    SinkLog& log_;
};

bool contains(std::string_view bytes, std::string_view part) {
    return bytes.find(part) != std::string_view::npos;
}

bool isControl(unsigned char byte) { return byte < 32 || byte == 127; }

// Every console here writes to a sink that must never be handed nothing, nor anything once it
// reported the output lost.
class PictureConsoleTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(log.emptyDeliveries, 0) << "a delivery of no bytes";
        EXPECT_EQ(log.deliveriesAfterLost, 0) << "a delivery after the output was lost";
    }

    std::unique_ptr<ByteSink> sink() { return std::make_unique<RecordingSink>(log); }

    ControlSequenceConsole terminal(bool fullRedraw = false,
                                    std::optional<ColourDepth> colour = std::nullopt) {
        return ControlSequenceConsole(sink(), {encodeUtf8Cell, fullRedraw, colour});
    }

    const std::string& last() const { return log.deliveries.back(); }

    SinkLog log;
};

// Two lines whose text is long enough that a whole line sent again is told from a changed cell.
const Picture kFirst = pictureFromText("abcdefghij#\nklmnopqrst#");
const Picture kOneCellChanged = pictureFromText("abcdefghij#\nklmnoXqrst#");
const Picture kTwoCellsChanged = pictureFromText("abcdefghij#\nklmnoXqrsY#");

// Whether `bytes` clear the window and put every line of `picture` (of ASCII characters) on it.
::testing::AssertionResult isWhole(std::string_view bytes, const Picture& picture) {
    if (!contains(bytes, kClearScreen)) {
        return ::testing::AssertionFailure() << "no clear in " << ::testing::PrintToString(std::string(bytes));
    }
    for (const CellLine& line : picture.lines) {
        const std::string text = pictureText(Picture{{line}});  // ASCII here, so sent as it is
        if (!contains(bytes, text)) {
            return ::testing::AssertionFailure()
                   << "no \"" << text << "\" in " << ::testing::PrintToString(std::string(bytes));
        }
    }
    return ::testing::AssertionSuccess();
}

// Whether `bytes` carry `changed` and nothing of the lines around it.
::testing::AssertionResult onlyTheChangedCells(std::string_view bytes, std::string_view changed) {
    if (contains(bytes, kClearScreen) || contains(bytes, "abcdefghij") || contains(bytes, "klmno") ||
        !contains(bytes, changed)) {
        return ::testing::AssertionFailure()
               << "not only \"" << changed << "\": " << ::testing::PrintToString(std::string(bytes));
    }
    return ::testing::AssertionSuccess();
}

TEST_F(PictureConsoleTest, AFrameAfterAFrameInTheSameLayoutSendsOnlyTheChangedCells) {
    ControlSequenceConsole console = terminal();
    console.showPicture(kFirst);
    EXPECT_TRUE(isWhole(last(), kFirst));
    console.showPicture(kOneCellChanged);
    EXPECT_TRUE(onlyTheChangedCells(last(), "X"));
    console.showPicture(kTwoCellsChanged);
    EXPECT_TRUE(onlyTheChangedCells(last(), "Y"));
    EXPECT_FALSE(contains(last(), "X")) << "a cell sent again after it was shown";
}

TEST_F(PictureConsoleTest, AFrameTheWindowShowsAlreadySendsNothing) {
    ControlSequenceConsole console = terminal();
    console.showPicture(kFirst);
    console.showPicture(kFirst);
    EXPECT_EQ(log.deliveries.size(), 1U);
}

TEST_F(PictureConsoleTest, AFrameInAnotherLayoutGoesWhole) {
    ControlSequenceConsole console = terminal();
    console.showPicture(kFirst);
    const Picture taller = pictureFromText("abcdefghij#\nklmnopqrst#\nuvwxyz#");
    console.showPicture(taller);
    EXPECT_TRUE(isWhole(last(), taller));
    EXPECT_TRUE(contains(last(), "uvwxyz#"));
}

TEST_F(PictureConsoleTest, AScreenIsSentWholeAfterAClearEvenWhenTheWindowShowsItAlready) {
    ControlSequenceConsole console = terminal();
    console.showScreen(kFirst);
    EXPECT_TRUE(isWhole(last(), kFirst));
    console.showScreen(kFirst);
    ASSERT_EQ(log.deliveries.size(), 2U);
    EXPECT_TRUE(isWhole(last(), kFirst));
    console.showPicture(kOneCellChanged);  // a frame after a screen of the same layout
    EXPECT_TRUE(onlyTheChangedCells(last(), "X"));
}

TEST_F(PictureConsoleTest, AfterTheDisplayLostItsPictureRefreshSendsTheLastWholeAndFramesFollowIt) {
    ControlSequenceConsole console = terminal();
    console.showPicture(kFirst);
    console.showPicture(kOneCellChanged);
    console.refresh();  // nothing was lost
    EXPECT_EQ(log.deliveries.size(), 2U);
    log.repaintRequest = true;
    console.refresh();
    ASSERT_EQ(log.deliveries.size(), 3U);
    EXPECT_TRUE(isWhole(last(), kOneCellChanged));
    EXPECT_TRUE(contains(last(), "X"));
    console.showPicture(kTwoCellsChanged);
    EXPECT_TRUE(onlyTheChangedCells(last(), "Y"));
}

TEST_F(PictureConsoleTest, RefreshBeforeAnyPictureSendsNothing) {
    ControlSequenceConsole console = terminal();
    log.repaintRequest = true;
    console.refresh();
    EXPECT_TRUE(log.deliveries.empty());
}

TEST_F(PictureConsoleTest, AFrameTheDisplayDidNotGetMakesTheNextGoWhole) {
    ControlSequenceConsole console = terminal();
    console.showPicture(kFirst);
    log.answers = {Delivery::Withheld};
    console.showPicture(kOneCellChanged);
    console.showPicture(kTwoCellsChanged);
    EXPECT_TRUE(isWhole(last(), kTwoCellsChanged));
}

TEST_F(PictureConsoleTest, WithFullRedrawEveryFrameGoesWhole) {
    ControlSequenceConsole console = terminal(true);
    for (const Picture* picture : {&kFirst, &kFirst, &kOneCellChanged}) {
        console.showPicture(*picture);
        EXPECT_TRUE(isWhole(last(), *picture));
    }
    EXPECT_EQ(log.deliveries.size(), 3U);
}

TEST_F(PictureConsoleTest, ALostOutputIsNeverWrittenToAgain) {
    ControlSequenceConsole console = terminal();
    log.answers = {Delivery::Lost};
    console.showPicture(kFirst);
    console.showPicture(kOneCellChanged);
    console.showScreen(kTwoCellsChanged);
    log.repaintRequest = true;
    console.refresh();
    EXPECT_EQ(log.deliveries.size(), 1U);
}

TEST_F(PictureConsoleTest, AMonochromeDisplayGetsAColouredPictureAsTheUncolouredOne) {
    Picture coloured = kFirst;
    for (CellLine& line : coloured.lines) {
        line[1].colour = paletteColour(196);
        line[4].colour = directColour({10, 200, 30});
    }
    ControlSequenceConsole monochrome = terminal();
    monochrome.showScreen(coloured);
    monochrome.showScreen(kFirst);
    ASSERT_EQ(log.deliveries.size(), 2U);
    EXPECT_EQ(log.deliveries[0], log.deliveries[1]);

    ControlSequenceConsole palette = terminal(false, ColourDepth::Palette256);
    palette.showScreen(coloured);
    EXPECT_NE(last(), log.deliveries[0]) << "a palette display shown no colour";
}

// A line of control bytes between characters: each would move the cursor, ring, or begin a
// control sequence if it reached the display as it is.
Picture withControlBytes() {
    Picture picture = pictureFromText("a.b.c.d.e.f.g.h.[2J#\nline two#");
    const unsigned char controls[] = {0x1b, '\r', '\n', 0x07, 0x00, 0x08, 0x7f, 0x1f};
    for (std::size_t i = 0; i < std::size(controls); ++i) {
        picture.lines[0][2 * i + 1].character = controls[i];
    }
    return picture;
}

Picture withQuestionMarks(Picture picture) {
    for (CellLine& line : picture.lines) {
        for (Cell& cell : line) {
            cell.character = isControl(cell.character) ? '?' : cell.character;
        }
    }
    return picture;
}

// How a picture is shown: whole as a screen, or as the cells changed since a first picture.
struct ShowingControls {
    const char* name;
    void (*show)(Console& console, const Picture& picture);
};

constexpr ShowingControls kShowings[] = {
    {"as a screen", [](Console& console, const Picture& picture) { console.showScreen(picture); }},
    {"as changed cells",
     [](Console& console, const Picture& picture) {
         console.showPicture(pictureFromText("................[2J#\nline two#"));
         console.showPicture(picture);
     }},
};

TEST_F(PictureConsoleTest, ControlBytesInCellsComeOutAsQuestionMarks) {
    for (const ShowingControls& showing : kShowings) {
        for (const bool plain : {false, true}) {
            SinkLog& controls = log;
            SinkLog marks;
            std::unique_ptr<Console> withControls;
            std::unique_ptr<Console> withMarks;
            if (plain) {
                withControls =
                    std::make_unique<PlainTextConsole>(sink(), PlainTextDisplay{encodeUtf8Cell, "\n", "\n"});
                withMarks = std::make_unique<PlainTextConsole>(std::make_unique<RecordingSink>(marks),
                                                               PlainTextDisplay{encodeUtf8Cell, "\n", "\n"});
            } else {
                withControls = std::make_unique<ControlSequenceConsole>(
                    sink(), ControlSequenceDisplay{encodeUtf8Cell, false, std::nullopt});
                withMarks = std::make_unique<ControlSequenceConsole>(
                    std::make_unique<RecordingSink>(marks),
                    ControlSequenceDisplay{encodeUtf8Cell, false, std::nullopt});
            }
            showing.show(*withControls, withControlBytes());
            showing.show(*withMarks, withQuestionMarks(withControlBytes()));
            const std::string where =
                std::string(showing.name) + (plain ? ", plain text" : ", control sequences");
            ASSERT_FALSE(controls.deliveries.empty()) << where;
            EXPECT_EQ(controls.deliveries.back(), marks.deliveries.back()) << where;
            EXPECT_TRUE(contains(controls.deliveries.back(), "a?b?c?d?e?f?g?h")) << where;
            log = SinkLog{};
        }
    }
}

TEST_F(PictureConsoleTest, PlainTextIsThePicturesLinesUncolouredBetweenTheDisplaysSeparators) {
    PlainTextConsole console(sink(), PlainTextDisplay{encodeUtf8Cell, "\r\n", "~~"});
    Picture coloured = pictureFromText("ab\n\xB0 d");
    coloured.lines[0][0].colour = paletteColour(196);
    coloured.lines[1][2].colour = basicColour(9);
    console.showScreen(coloured);
    console.showPicture(pictureFromText("ef\ngh"));
    console.showPicture(pictureFromText("ef\ngh"));  // sent again: the output does not keep it
    EXPECT_EQ(log.all(), "ab\r\n\xE2\x96\x91 d~~ef\r\ngh~~ef\r\ngh");
}

TEST_F(PictureConsoleTest, PlainTextRefreshSendsTheLastPictureOnlyWhenTheDisplayLostIt) {
    PlainTextConsole console(sink(), PlainTextDisplay{encodeUtf8Cell, "\n", ""});
    log.repaintRequest = true;
    console.refresh();
    EXPECT_TRUE(log.deliveries.empty()) << "a picture before the first";
    console.showPicture(pictureFromText("ab\ncd"));
    console.refresh();
    EXPECT_EQ(log.deliveries.size(), 1U);
    log.repaintRequest = true;
    console.refresh();
    EXPECT_EQ(log.all(), "ab\ncdab\ncd");
}

TEST_F(PictureConsoleTest, ALostPlainOutputIsNeverWrittenToAgain) {
    PlainTextConsole console(sink(), PlainTextDisplay{encodeUtf8Cell, "\n", "\n"});
    log.answers = {Delivery::Lost};
    console.showPicture(pictureFromText("ab"));
    console.showScreen(pictureFromText("cd"));
    log.repaintRequest = true;
    console.refresh();
    EXPECT_EQ(log.deliveries.size(), 1U);
}

}  // namespace
}  // namespace brickstorm::terminal
