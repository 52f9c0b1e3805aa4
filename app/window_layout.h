#pragma once

#include "screens/picture_layout.h"

namespace brickstorm::app {

// The layout for the terminal's window as it is now, or the fallback one when its size cannot
// be read: asked on every pass that draws, so that a resized window is drawn at its new size on
// the next one.
PictureLayout windowLayoutNow(const LayoutOptions& options);

// The terminal window's height now, in lines; 0 when it cannot be read.
int windowLinesNow();

}  // namespace brickstorm::app
