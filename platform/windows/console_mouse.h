#pragma once

#include <optional>

#include "core/key_codes.h"

// The console's mouse events as the reports the keys carry (the same as a terminal's SGR
// reports): only the left button, as the editor uses it.
namespace brickstorm::platform {

// One mouse event of the console, in the window's cells (counted from 0 at its top left).
struct ConsoleMouseEvent {
    bool leftDown = false;  // the left button is held after the event
    bool moved = false;     // the event is a move, not a change of the buttons
    int column = 0;
    int line = 0;
};

// The report for `event`, given whether the left button was held before it; nothing for what
// the editor does not use (a move with the button up, another button, the wheel).
constexpr std::optional<MouseReport> mouseReportOf(const ConsoleMouseEvent& event, bool leftWasDown) {
    MouseReport report{MouseAction::Press, event.column, event.line};
    if (event.moved) {
        if (!event.leftDown) {
            return std::nullopt;
        }
        report.action = MouseAction::Drag;
    } else if (event.leftDown == leftWasDown) {
        return std::nullopt;
    } else if (!event.leftDown) {
        report.action = MouseAction::Release;
    }
    return report;
}

}  // namespace brickstorm::platform
