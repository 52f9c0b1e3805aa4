#include "platform/posix/raw_mode.h"

namespace brickstorm::platform {

termios rawModeFrom(const termios& original) {
    termios raw = original;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
    // A read returns as soon as one byte is there, and waits for it without limit; the short
    // wait that tells a lone Escape is done with poll(), not with the terminal's timer.
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    return raw;
}

}  // namespace brickstorm::platform
