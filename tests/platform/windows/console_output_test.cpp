#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/terminal.h"
#include "platform/windows/console_format.h"
#include "render/picture.h"
#include "terminal/terminal_sequences.h"
#include "tests/platform/windows/std_handles.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

using testing::Pipe;
using testing::StdHandleSwap;
using testing::WriteRecorder;

using Writes = std::vector<std::string>;

std::string repeated(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

Picture text(std::string_view lines) { return pictureFromText(lines); }

// A screen line of 30 blanks, 30 light shades and 30 full blocks, and the edge.
const std::string kShadedLine = std::string(30, ' ') + std::string(30, '\xB0') + std::string(30, '\xDB') + "#";

// A whole screen as the game draws it: 60 such lines.
Picture wholeScreen() {
    Picture screen = blankPicture(91, 60);
    for (int line = 0; line < 60; ++line) {
        placeText(screen, kShadedLine, 0, line);
    }
    return screen;
}

// The same as the console is sent it: every line in UTF-8, a line end after each but the last,
// with the clear in one synchronized update.
std::string wholeScreenBytes() {
    const std::string utf8Line =
        std::string(30, ' ') + repeated("\xE2\x96\x91", 30) + repeated("\xE2\x96\x88", 30) + "#";
    std::string text;
    for (int line = 0; line < 60; ++line) {
        if (line > 0) {
            text += "\r\n";
        }
        text += utf8Line;
    }
    return terminalFrame(text, true);
}

TEST(WindowsConsole, TheClearAndTheWholePictureLeaveInOneWrite) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->showScreen(wholeScreen());
    }
    EXPECT_EQ(recorder.finish(), (Writes{wholeScreenBytes()}));
}

TEST(WindowsConsole, EveryScreenIsClearedAndWrittenInOneStep) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->showScreen(text("first#"));
        console->showScreen(text("second#"));
        console->refresh();  // a pipe never loses its picture
    }
    EXPECT_EQ(recorder.finish(), (Writes{terminalFrame("first#", true), terminalFrame("second#", true)}));
}

TEST(WindowsConsole, AFrameSendsOnlyTheCellsThatChanged) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->showPicture(text("ab#\ncd#"));
        console->showPicture(text("ab#\ncd#"));  // nothing changed: nothing sent
        console->showPicture(text("ab#\ncX#"));
        console->showScreen(text("text#"));  // a text screen goes whole, and so does the frame after it
        console->showPicture(text("ab#\ncX#"));
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{terminalFrame("ab#\x1b[2Hcd#", true), terminalFrame("\x1b[2;2HX", false),
                      terminalFrame("text#", true), terminalFrame("ab#\x1b[2HcX#", true)}));
}

TEST(WindowsConsole, AColouredFrameSendsItsColoursOnlyWhereTheyChange) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    const CellColour red = paletteColour(196);
    const CellColour blue = paletteColour(21);
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console =
            makeTerminalConsole({.colour = ColourWhen::Always, .colourDepth = ColourDepth::Palette256});
        ASSERT_EQ(console->colourDepth(), ColourDepth::Palette256);
        Picture frame = text("ab#");
        frame.lines[0][0].colour = red;
        frame.lines[0][1].colour = red;
        console->showPicture(frame);
        frame.lines[0][1].colour = blue;  // the same character in another colour
        console->showPicture(frame);
    }
    EXPECT_EQ(recorder.finish(), (Writes{terminalFrame("\x1b[38;5;196mab\x1b[39m#", true),
                                         terminalFrame("\x1b[1;2H\x1b[38;5;21mb\x1b[0m", false)}));
}

TEST(WindowsConsole, WithFullRedrawEveryFrameGoesWhole) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole({.fullRedraw = true});
        console->showPicture(text("ab#"));
        console->showPicture(text("ab#"));
    }
    EXPECT_EQ(recorder.finish(), (Writes{terminalFrame("ab#", true), terminalFrame("ab#", true)}));
}

TEST(WindowsSession, TakesTheScreenAndGivesItBackOnceWithNoPictureAfter) {
    Pipe noKeys;
    WriteRecorder recorder;
    ASSERT_TRUE(noKeys.valid());
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap input(STD_INPUT_HANDLE, noKeys.readEnd());
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        beginTerminalSession();
        const auto console = makeTerminalConsole();
        console->showScreen(text("x#"));
        endTerminalSession();
        endTerminalSession();
        console->showScreen(text("too late#"));
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{std::string(kTakeScreen), terminalFrame("x#", true), std::string(kGiveBackScreen)}));
}

TEST(WindowsSession, CanBeginAgainAfterItEnded) {
    Pipe noKeys;
    WriteRecorder recorder;
    ASSERT_TRUE(noKeys.valid());
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap input(STD_INPUT_HANDLE, noKeys.readEnd());
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        beginTerminalSession();
        endTerminalSession();
        beginTerminalSession();
        const auto console = makeTerminalConsole();
        console->showScreen(text("again#"));
        endTerminalSession();
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{std::string(kTakeScreen), std::string(kGiveBackScreen), std::string(kTakeScreen),
                      terminalFrame("again#", true), std::string(kGiveBackScreen)}));
}

}  // namespace
}  // namespace brickstorm::platform
