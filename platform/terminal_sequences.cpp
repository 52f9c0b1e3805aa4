#include "platform/terminal_sequences.h"

namespace brickstorm::platform {

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
