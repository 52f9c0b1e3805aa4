#include "terminal/shown_picture.h"

#include "terminal/terminal_sequences.h"

namespace brickstorm::terminal {

namespace {

std::string inOneUpdate(const std::string& bytes) {
    return bytes.empty() ? std::string{} : terminalFrame(bytes, false);
}

}  // namespace

// The new picture is copied over the last one, whose lines keep their storage: in a steady
// stream of frames of one size, remembering them allocates nothing.
std::string ShownPicture::update(const Picture& next) {
    if (alwaysWhole_ || !known_ || !sameLayout(last_, next)) {
        return redraw(next);
    }
    std::string bytes = inOneUpdate(changedCellsBytes(last_, next, encode_));
    last_ = next;
    return bytes;
}

std::string ShownPicture::redraw(const Picture& next) {
    last_ = next;
    any_ = true;
    return whole();
}

std::string ShownPicture::redrawLast() { return any_ ? whole() : std::string{}; }

std::string ShownPicture::whole() {
    known_ = true;
    return inOneUpdate(wholePictureBytes(last_, encode_));
}

}  // namespace brickstorm::terminal
