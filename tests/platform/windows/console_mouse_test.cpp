#include "platform/windows/console_mouse.h"

#include <gtest/gtest.h>

namespace brickstorm::platform {
namespace {

struct MouseCase {
    const char* what = "";
    ConsoleMouseEvent event;
    bool leftWasDown = false;
    std::optional<MouseReport> report;
};

TEST(ConsoleMouse, TheLeftButtonsPressDragAndReleaseBecomeReports) {
    const MouseCase cases[] = {
        {"press", {true, false, 3, 4}, false, MouseReport{MouseAction::Press, 3, 4}},
        {"drag", {true, true, 5, 4}, true, MouseReport{MouseAction::Drag, 5, 4}},
        {"release", {false, false, 5, 6}, true, MouseReport{MouseAction::Release, 5, 6}},
        {"move with the button up", {false, true, 1, 1}, false, std::nullopt},
        {"another button, the left one up", {false, false, 1, 1}, false, std::nullopt},
        {"another button, the left one held", {true, false, 1, 1}, true, std::nullopt},
    };
    for (const MouseCase& c : cases) {
        EXPECT_EQ(mouseReportOf(c.event, c.leftWasDown), c.report) << c.what;
    }
}

}  // namespace
}  // namespace brickstorm::platform
