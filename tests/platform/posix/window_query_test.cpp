// The terminal's window size and cell shape as the game asks for them.
#include "platform/posix/window_query.h"

#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include "platform/posix/system_calls.h"

namespace brickstorm::platform {
namespace {

// A terminal that answers the window size query with a set reply, or fails it.
class FakeWindow final : public SystemCalls {
public:
    int getWindowSize(int fd, winsize* size) override {
        lastFd = fd;
        if (!reply) {
            errno = ENOTTY;
            return -1;
        }
        *size = *reply;
        return 0;
    }

    std::optional<winsize> reply;
    int lastFd = -1;
};

TEST(WindowQueryTest, CellsAndTheirShapeFromTheTerminal) {
    FakeWindow window;
    window.reply = winsize{24, 80, 640, 384};  // 8 x 16 pixel cells
    const auto size = windowSizeOf(window, 7);
    EXPECT_EQ(window.lastFd, 7);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->columns, 80);
    EXPECT_EQ(size->lines, 24);
    ASSERT_TRUE(size->cellAspect);
    EXPECT_DOUBLE_EQ(*size->cellAspect, 2.0);
}

TEST(WindowQueryTest, NoPixelsNoShape) {
    FakeWindow window;
    window.reply = winsize{40, 120, 0, 0};
    const auto size = windowSizeOf(window, 1);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->columns, 120);
    EXPECT_FALSE(size->cellAspect);
}

TEST(WindowQueryTest, NoSizeWhereTheTerminalHasNone) {
    FakeWindow window;
    EXPECT_FALSE(windowSizeOf(window, 1));  // not a terminal
    window.reply = winsize{0, 0, 0, 0};     // a terminal that does not know
    EXPECT_FALSE(windowSizeOf(window, 1));
    window.reply = winsize{24, 0, 0, 0};
    EXPECT_FALSE(windowSizeOf(window, 1));
}

}  // namespace
}  // namespace brickstorm::platform
