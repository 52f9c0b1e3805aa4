#pragma once

#include <optional>

#include "render/colour.h"
#include "render/picture.h"

namespace brickstorm {

// How a picture follows the one the window showed before it.
enum class PictureChange {
    // The same scene a moment later (a frame of the 3D view): a console may send only the cells
    // that differ from the last picture.
    Update,
    // A screen of its own, shown once and then left standing (a text screen): the window is
    // cleared and the picture sent whole.
    Replace,
};

// Where screens and frames are shown: a picture of cells at a time, each replacing the last in
// one step. The terminal implements it in terminal/ and platform/, tests replace it with a
// recorder. Cells are in the game's single-byte character set (the shade and block bytes 176 to
// 248 included); the implementation maps them for display.
class Console {
public:
    virtual ~Console() = default;

    // Shows `picture` in place of the last one, as the next state of the same scene: pictures
    // follow one another many times a second, so only what differs may be sent.
    void showPicture(const Picture& picture) { present(picture, PictureChange::Update); }

    // Shows `picture` as a screen of its own, whole on a cleared window.
    void showScreen(const Picture& picture) { present(picture, PictureChange::Replace); }

    // The colours this console shows in; nothing for a monochrome one, which then shows every
    // cell uncoloured.
    virtual std::optional<ColourDepth> colourDepth() const { return std::nullopt; }

    // Shows the last picture again if the display lost it (after the program was stopped and
    // resumed, or the window resized). Called on every render pass; most consoles never lose it.
    virtual void refresh() {}

    // The next picture is laid out anew (the window was resized), so it is sent whole anyway:
    // a loss of the last picture until now needs no showing of that picture again.
    virtual void dropRepaint() {}

private:
    // Puts `picture` on the display in one step, `change` saying how it follows the last one.
    virtual void present(const Picture& picture, PictureChange change) = 0;
};

}  // namespace brickstorm
