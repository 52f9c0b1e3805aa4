// The Windows console's window as the game asks for it on every render pass; a resize shows up
// on the next pass as a new size.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/terminal.h"
#include "tests/platform/windows/std_handles.h"

namespace brickstorm::platform {
namespace {

using testing::Pipe;
using testing::StdHandleSwap;

TEST(WindowsWindowSize, NoneWhenTheOutputIsNotAConsole) {
    Pipe pipe;
    ASSERT_TRUE(pipe.valid());
    const StdHandleSwap output(STD_OUTPUT_HANDLE, pipe.readEnd());
    EXPECT_FALSE(windowSize());
}

TEST(WindowsWindowSize, TheVisibleWindowOfTheConsoleAndEachResize) {
    const HANDLE buffer =
        CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (buffer == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "no console to make a screen buffer in";
    }
    const StdHandleSwap output(STD_OUTPUT_HANDLE, buffer);
    // A buffer taller than its window, as a console's scrollback makes it: the window counts.
    const COORD bufferSize{120, 300};
    ASSERT_TRUE(SetConsoleScreenBufferSize(buffer, bufferSize));
    for (const COORD window : {COORD{80, 24}, COORD{100, 40}}) {
        const SMALL_RECT rect{0, 0, static_cast<SHORT>(window.X - 1), static_cast<SHORT>(window.Y - 1)};
        if (!SetConsoleWindowInfo(buffer, TRUE, &rect)) {
            CloseHandle(buffer);
            GTEST_SKIP() << "this console cannot size its window";
        }
        const auto size = windowSize();
        ASSERT_TRUE(size);
        EXPECT_EQ(size->columns, window.X);
        EXPECT_EQ(size->lines, window.Y);
        if (size->cellAspect) {
            EXPECT_GT(*size->cellAspect, 0.0);
        }
    }
    CloseHandle(buffer);
}

}  // namespace
}  // namespace brickstorm::platform
