#pragma once

#include <cstdint>
#include <optional>

// The game's key codes: an ordinary key is its byte, an extended key (an arrow, an editing or a
// function key) is a prefix followed by the key's own code. The platform's decoders produce
// them from what the terminal or the console sends, and the key handler acts on them.
namespace brickstorm {

// The codes that start a two-code extended key.
inline constexpr int kFunctionKeyPrefix = 0;
inline constexpr int kNavigationKeyPrefix = 224;

// The arrows' own codes after their prefix; the same codes as the letters "K" and "M".
inline constexpr int kLeftArrowCode = 75;
inline constexpr int kRightArrowCode = 77;

// A report of the mouse's left button, where the terminal sends them: what the button did and the
// cell it was over, counted from 0 at the window's top left. It comes as one code of its own,
// above every key code, so that it travels with the keys in their order.
enum class MouseAction : std::uint8_t { Press, Drag, Release };

struct MouseReport {
    MouseAction action = MouseAction::Press;
    int column = 0;
    int line = 0;

    friend bool operator==(const MouseReport&, const MouseReport&) = default;
};

inline constexpr int kMouseCodeBase = 1 << 28;
// A report's cells are kept to this; no window is that large.
inline constexpr int kMostMouseCell = (1 << 12) - 1;

// The code of a report, its cell kept within 0 to kMostMouseCell.
constexpr int mouseCode(MouseReport report) {
    const auto within = [](int cell) {
        return cell < 0 ? 0 : (cell > kMostMouseCell ? kMostMouseCell : cell);
    };
    return kMouseCodeBase | (static_cast<int>(report.action) << 24) | (within(report.column) << 12) |
           within(report.line);
}

// The report a code stands for; nothing for a key's code.
constexpr std::optional<MouseReport> mouseReport(int code) {
    if (code < kMouseCodeBase || ((code >> 24) & 3) > static_cast<int>(MouseAction::Release)) {
        return std::nullopt;
    }
    return MouseReport{static_cast<MouseAction>((code >> 24) & 3), (code >> 12) & kMostMouseCell,
                       code & kMostMouseCell};
}

// Not a key: the program was asked to end (a deferred Ctrl+C, SIGTERM or SIGHUP) while it
// waited for one. Outside the codes a key can have, so no key is ever taken for it.
inline constexpr int kEndingRequestKey = 256;

}  // namespace brickstorm
