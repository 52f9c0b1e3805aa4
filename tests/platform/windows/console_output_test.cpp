#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/terminal.h"
#include "platform/windows/console_format.h"
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

// Standard output that is not a console gets control sequences and UTF-8: what reads a pipe is
// most often a terminal.
constexpr ConsoleFormat kPipeFormat{true, ConsoleEncoding::Utf8};

// A whole screen as the game writes it: 60 lines of 90 cells and the edge, with shades in it.
std::string wholeScreen() {
    std::string screen;
    for (int line = 0; line < 60; ++line) {
        screen += std::string(30, ' ') + std::string(30, '\xB0') + std::string(30, '\xDB') + "#";
        if (line < 59) {
            screen += "\n";
        }
    }
    return screen;
}

TEST(WindowsConsole, TheClearAndTheWholePictureLeaveInOneWrite) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->clear();
        console->write(wholeScreen());
    }
    EXPECT_EQ(recorder.finish(), (Writes{pictureBytes(kPipeFormat, wholeScreen(), true)}));
}

TEST(WindowsConsole, EveryFrameIsClearedAndWrittenInOneStep) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->clear();
        console->write("first#");
        console->clear();
        console->write("second#");
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{pictureBytes(kPipeFormat, "first#", true), pictureBytes(kPipeFormat, "second#", true)}));
}

TEST(WindowsConsole, AClearAloneSendsNothing) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->clear();
    }
    EXPECT_EQ(recorder.finish(), Writes{});
}

TEST(WindowsConsole, AWriteAfterAWriteDoesNotClearAgain) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->clear();
        console->write("top#\n");
        console->write("rest#");
        console->refresh();  // a pipe never loses its picture
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{pictureBytes(kPipeFormat, "top#\n", true), pictureBytes(kPipeFormat, "rest#", false)}));
}

TEST(WindowsConsole, AFrameSendsOnlyTheCellsThatChanged) {
    WriteRecorder recorder;
    ASSERT_TRUE(recorder.valid());
    {
        const StdHandleSwap output(STD_OUTPUT_HANDLE, recorder.writeEnd());
        const auto console = makeTerminalConsole();
        console->showFrame("ab#\ncd#");
        console->showFrame("ab#\ncd#");  // nothing changed: nothing sent
        console->showFrame("ab#\ncX#");
        console->clear();
        console->write("text#");  // a text screen goes whole, and so does the frame after it
        console->showFrame("ab#\ncX#");
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{terminalFrame("ab#\x1b[2Hcd#", true), terminalFrame("\x1b[2;2HX", false),
                      pictureBytes(kPipeFormat, "text#", true), terminalFrame("ab#\x1b[2HcX#", true)}));
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
        console->showColouredFrame("ab#", {{red, red}});
        console->showColouredFrame("ab#", {{red, blue}});  // the same character in another colour
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
        console->showFrame("ab#");
        console->showFrame("ab#");
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{pictureBytes(kPipeFormat, "ab#", true), pictureBytes(kPipeFormat, "ab#", true)}));
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
        console->clear();
        console->write("x#");
        endTerminalSession();
        endTerminalSession();
        console->clear();
        console->write("too late#");
    }
    EXPECT_EQ(recorder.finish(), (Writes{std::string(kTakeScreen), pictureBytes(kPipeFormat, "x#", true),
                                         std::string(kGiveBackScreen)}));
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
        console->clear();
        console->write("again#");
        endTerminalSession();
    }
    EXPECT_EQ(recorder.finish(),
              (Writes{std::string(kTakeScreen), std::string(kGiveBackScreen), std::string(kTakeScreen),
                      pictureBytes(kPipeFormat, "again#", true), std::string(kGiveBackScreen)}));
}

}  // namespace
}  // namespace brickstorm::platform
