#include "screens/text_screen.h"

#include <cstddef>

#include "render/frame_buffer.h"

namespace brickstorm {

namespace {

constexpr std::size_t kColumns = kFrameColumns;
constexpr std::size_t kLines = kFrameRows;

}  // namespace

void printCentredLine(std::string& screen, std::string_view text) {
    const std::size_t spare = text.size() < kColumns ? kColumns - text.size() : 0;
    screen.append(spare / 2, ' ');
    screen.append(text);
    screen.append(spare - spare / 2, ' ');
    screen += kScreenEdge;
    screen += '\n';
}

void printBlankLine(std::string& screen) { printCentredLine(screen, {}); }

std::string composeTextScreen(const ScreenLines& lines) {
    const std::size_t content = lines.size() < kLines ? lines.size() : kLines;
    const std::size_t above = (kLines - content) / 2;
    const std::size_t below = kLines - content - above;  // the last of them unterminated

    std::string screen;
    screen.reserve(kLines * (kColumns + 2));
    for (std::size_t i = 0; i < above; ++i) {
        printBlankLine(screen);
    }
    for (std::size_t i = 0; i < content; ++i) {
        if (lines[i].empty()) {
            printBlankLine(screen);
        } else {
            printCentredLine(screen, lines[i]);
        }
    }
    for (std::size_t i = 0; i < below; ++i) {
        printBlankLine(screen);
    }
    // Every line break but the last: a text screen fills the window exactly, and a break after
    // its last line would scroll the top line away.
    screen.pop_back();
    return screen;
}

}  // namespace brickstorm
