#include "terminal/terminal_sequences.h"

#include <cstdint>

namespace brickstorm::terminal {

namespace {

constexpr std::string_view kControlSequenceIntroducer = "\x1b[";
// The intensity parameters of a colour sequence: faint text, and neither faint nor bold.
constexpr std::string_view kFaint = "2;";
constexpr std::string_view kNormalIntensity = "22;";

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

void appendForeground(std::string& out, CellColour colour, CellColour pen) {
    constexpr int kBasicNormal = 30;
    constexpr int kBasicBright = 90;
    constexpr std::uint32_t kBrightFrom = 8;
    const std::uint32_t value = colour & kColourValueMask;
    out.append(kControlSequenceIntroducer);
    if (isFaint(colour) && !isFaint(pen)) {
        out.append(kFaint);
    } else if (!isFaint(colour) && isFaint(pen)) {
        out.append(kNormalIntensity);
    }
    switch (colour & kColourTagMask) {
    case kBasicColourTag: {
        const std::uint32_t index = value & 0x0fU;
        out.append(std::to_string(index < kBrightFrom ? kBasicNormal + static_cast<int>(index)
                                                      : kBasicBright + static_cast<int>(index - kBrightFrom)));
        break;
    }
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
