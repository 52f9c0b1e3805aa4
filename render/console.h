#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "render/colour.h"

namespace brickstorm {

// The foreground colour of each cell of a frame, line by line as its text has them; a line
// shorter than its text leaves the rest of it uncoloured.
using FrameColours = std::vector<std::vector<CellColour>>;

// Where screens and frames are shown. The terminal implements it in platform/,
// tests replace it with a recorder. Text is in the game's single-byte character set
// (the shade and block bytes 176 to 248 included); the implementation maps it for display.
class Console {
public:
    virtual ~Console() = default;

    // Empties the window and puts the cursor at its top left; an implementation may hold
    // the clear back and send it with the next write, so the picture is replaced in one step.
    virtual void clear() = 0;

    // Shows text at the cursor.
    virtual void write(std::string_view text) = 0;

    // Replaces the picture with a frame of the 3D view: lines of the game's text separated by
    // '\n', as write() takes them. Frames follow one another many times a second, so a console
    // may send only what differs from the last one.
    virtual void showFrame(std::string_view frame) {
        clear();
        write(frame);
    }

    // The colours this console shows frames in; nothing for a monochrome one, which then gets
    // no colours at all.
    virtual std::optional<ColourDepth> colourDepth() const { return std::nullopt; }

    // A frame as showFrame() takes it, with the foreground colour of each cell.
    virtual void showColouredFrame(std::string_view frame, const FrameColours& colours) {
        static_cast<void>(colours);
        showFrame(frame);
    }

    // Shows the last picture again if the display lost it (after the program was stopped and
    // resumed, or the window resized). Called on every render pass; most consoles never lose it.
    virtual void refresh() {}

    // The next picture is laid out anew (the window was resized), so it is sent whole anyway:
    // a loss of the last picture until now needs no showing of that picture again.
    virtual void dropRepaint() {}
};

}  // namespace brickstorm
