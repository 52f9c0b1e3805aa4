#include "platform/terminal_sequences.h"

namespace brickstorm::platform {

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

}  // namespace brickstorm::platform
