#pragma once

#include <string>

#include "render/picture.h"
#include "terminal/picture_update.h"

namespace brickstorm::terminal {

// What a terminal's window shows, as far as its console knows, and the bytes that bring it to a
// new picture: only the cells that changed while the window is known to hold the last picture
// in the same layout, a clear and the whole picture otherwise. The bytes come wrapped in one
// synchronized update. Each call takes the new picture as shown from then on; a console that
// could not send the bytes says so with forget().
class ShownPicture {
public:
    // `alwaysWhole`: every picture is sent whole, for terminals that do not keep what they were
    // sent, and for comparing.
    ShownPicture(CellEncoder encode, bool alwaysWhole) : encode_(encode), alwaysWhole_(alwaysWhole) {}

    // Nothing at all when the window shows `next` already.
    std::string update(const Picture& next);
    // A clear and the whole picture, whatever the window shows.
    std::string redraw(const Picture& next);
    // The last picture again, whole; nothing before the first.
    std::string redrawLast();
    // The window's contents are no longer known: it lost them, or the last bytes never reached it.
    void forget() { known_ = false; }

private:
    std::string whole();

    CellEncoder encode_;
    bool alwaysWhole_;
    Picture last_;
    bool any_ = false;    // a picture was asked for
    bool known_ = false;  // the window shows last_
};

}  // namespace brickstorm::terminal
