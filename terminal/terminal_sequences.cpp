#include "terminal/terminal_sequences.h"

#include <cstdint>

namespace brickstorm::terminal {

namespace {

constexpr std::string_view kControlSequenceIntroducer = "\x1b[";

}  // namespace

void appendCursorTo(std::string& out, int line, int column) {
    out.append(kControlSequenceIntroducer);
    out.append(std::to_string(line));
    if (column != 1) {
        out.push_back(';');
        out.append(std::to_string(column));
    }
    out.push_back('H');
}

void appendCursorForward(std::string& out, int count) {
    out.append(kControlSequenceIntroducer);
    out.append(std::to_string(count));
    out.push_back('C');
}

void appendForeground(std::string& out, CellColour colour) {
    constexpr int kBasicNormal = 30;
    constexpr int kBasicBright = 90;
    constexpr std::uint32_t kBrightFrom = 8;
    const std::uint32_t value = colour & kColourValueMask;
    out.append(kControlSequenceIntroducer);
    switch (colour & kColourTagMask) {
    case kBasicColourTag:
        out.append(std::to_string(value < kBrightFrom ? kBasicNormal + static_cast<int>(value)
                                                      : kBasicBright + static_cast<int>(value - kBrightFrom)));
        break;
    case kPaletteColourTag:
        out.append("38;5;");
        out.append(std::to_string(value));
        break;
    case kDirectColourTag: {
        const Rgb rgb = shownRgb(colour);
        out.append("38;2;");
        out.append(std::to_string(rgb.red));
        out.push_back(';');
        out.append(std::to_string(rgb.green));
        out.push_back(';');
        out.append(std::to_string(rgb.blue));
        break;
    }
    default: out.append("39"); break;
    }
    out.push_back('m');
}

std::string terminalFrame(std::string_view encodedText, bool clearFirst) {
    std::string frame;
    frame.reserve(kBeginUpdate.size() + kClearScreen.size() + encodedText.size() + kEndUpdate.size());
    frame.append(kBeginUpdate);
    if (clearFirst) {
        frame.append(kClearScreen);
    }
    frame.append(encodedText);
    frame.append(kEndUpdate);
    return frame;
}

}  // namespace brickstorm::terminal
