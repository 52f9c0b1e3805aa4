#pragma once

#include <string>
#include <string_view>

#include "render/picture.h"

// The control sequences and text that put a picture on a terminal's display, whole or as the
// cells that changed since the last one. Pure: the console decides which, and sends the bytes.
namespace brickstorm::terminal {

// The bytes that show one cell's character in the display's character set.
using CellEncoder = std::string_view (*)(unsigned char character);

// A clear, then every line of `picture` in full, each placed by the cursor: no line feeds, so the
// terminal's own output processing (which may turn '\n' into "\r\n") plays no part. Colours as
// in changedCellsBytes.
std::string wholePictureBytes(const Picture& picture, CellEncoder encode);

// What turns a display that shows `shown` into one that shows `next` (both of the same layout):
// the shorter of changedCellsInLineOrder and the changed cells one colour at a time (each colour
// set once, the cells placed by cursor moves). Nothing at all when the pictures are equal. A
// colour is sent only where it changes along the output, and the terminal's own colours come
// back at the end when any was sent.
std::string changedCellsBytes(const Picture& shown, const Picture& next, CellEncoder encode);

// The same in line order: per line, either the changed runs, each after a cursor move, or the
// whole line, whichever is shorter.
std::string changedCellsInLineOrder(const Picture& shown, const Picture& next, CellEncoder encode);

}  // namespace brickstorm::terminal
