#include "terminal/shown_picture.h"

#include <utility>

#include "terminal/terminal_sequences.h"

namespace brickstorm::terminal {

namespace {

std::string inOneUpdate(const std::string& bytes) {
    return bytes.empty() ? std::string{} : terminalFrame(bytes, false);
}

}  // namespace

std::string ShownPicture::update(Picture next) {
    if (alwaysWhole_ || !known_ || !sameLayout(last_, next)) {
        return redraw(std::move(next));
    }
    std::string bytes = inOneUpdate(changedCellsBytes(last_, next, encode_));
    last_ = std::move(next);
    return bytes;
}

std::string ShownPicture::redraw(Picture next) {
    last_ = std::move(next);
    any_ = true;
    return whole();
}

std::string ShownPicture::redrawLast() { return any_ ? whole() : std::string{}; }

std::string ShownPicture::whole() {
    known_ = true;
    return inOneUpdate(wholePictureBytes(last_, encode_));
}

}  // namespace brickstorm::terminal
