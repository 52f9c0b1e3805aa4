#include "terminal/picture_consoles.h"

#include <algorithm>
#include <utility>

namespace brickstorm::terminal {

namespace {

bool coloured(const Picture& picture) {
    return std::any_of(picture.lines.begin(), picture.lines.end(), [](const CellLine& line) {
        return std::any_of(line.begin(), line.end(),
                           [](const Cell& cell) { return cell.colour != kNoColour; });
    });
}

}  // namespace

Picture withoutColour(Picture picture) {
    for (CellLine& line : picture.lines) {
        for (Cell& cell : line) {
            cell.colour = kNoColour;
        }
    }
    return picture;
}

std::string encodedText(const Picture& picture, CellEncoder encode, std::string_view lineEnd) {
    std::string text;
    for (const CellLine& line : picture.lines) {
        if (&line != &picture.lines.front()) {
            text.append(lineEnd);
        }
        for (const Cell& cell : line) {
            text.append(encode(cell.character));
        }
    }
    return text;
}

Delivery SinkConsole::send(std::string_view bytes) {
    if (lost_) {
        return Delivery::Lost;
    }
    if (bytes.empty()) {
        return Delivery::Delivered;
    }
    const Delivery delivery = sink_->deliver(bytes);
    lost_ = delivery == Delivery::Lost;
    return delivery;
}

bool SinkConsole::repaintRequested() { return !lost_ && sink_->takeRepaintRequest(); }

ControlSequenceConsole::ControlSequenceConsole(std::unique_ptr<ByteSink> sink, ControlSequenceDisplay display)
    : SinkConsole(std::move(sink)), display_(display), shown_(display.encode, display.fullRedraw) {}

void ControlSequenceConsole::present(const Picture& picture, PictureChange change) {
    // A monochrome display shows no colour, whatever the picture was drawn with.
    if (!display_.colour && coloured(picture)) {
        present(withoutColour(picture), change);
        return;
    }
    deliver(change == PictureChange::Replace ? shown_.redraw(picture) : shown_.update(picture));
}

void ControlSequenceConsole::refresh() {
    if (repaintRequested()) {
        // Whatever the window shows now, it is not the last picture: that is sent whole, and the
        // next frame is compared with it.
        shown_.forget();
        deliver(shown_.redrawLast());
    }
}

void ControlSequenceConsole::deliver(std::string_view bytes) {
    if (send(bytes) == Delivery::Withheld) {
        shown_.forget();  // the window does not get this picture: the next one goes whole
    }
}

PlainTextConsole::PlainTextConsole(std::unique_ptr<ByteSink> sink, PlainTextDisplay display)
    : SinkConsole(std::move(sink)), display_(display) {}

void PlainTextConsole::present(const Picture& picture, PictureChange) {
    last_ = encodedText(picture, display_.encode, display_.lineEnd);
    send(std::exchange(shownBefore_, true) ? std::string(display_.betweenPictures) + last_ : last_);
}

void PlainTextConsole::refresh() {
    if (repaintRequested() && shownBefore_) {
        send(last_);
    }
}

}  // namespace brickstorm::terminal
