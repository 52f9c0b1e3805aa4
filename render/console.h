#pragma once

#include <string_view>

namespace brickstorm {

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

    // Shows the last picture again if the display lost it (after the program was stopped and
    // resumed, or the window resized). Called on every render pass; most consoles never lose it.
    virtual void refresh() {}
};

}  // namespace brickstorm
