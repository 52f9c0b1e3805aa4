#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/colour.h"

struct VTerm;

// A real terminal emulator (libvterm) as a test's window: what a program's output shows, cell by
// cell, however the output got it there (a clear and whole lines, or cursor moves and changed
// runs).
namespace brickstorm::testing {

class VtermScreen {
public:
    VtermScreen(int rows, int columns);
    ~VtermScreen();
    VtermScreen(const VtermScreen&) = delete;
    VtermScreen& operator=(const VtermScreen&) = delete;

    // Takes output in, as the terminal's display would.
    void feed(std::string_view bytes);

    // The window takes a new size, as a terminal's does when its window is resized.
    void resize(int rows, int columns);

    // The character shown in a cell, as a Unicode code point; a blank cell is a space.
    std::uint32_t character(int row, int column) const;

    // The foreground colour of a cell, in the game's terms: kNoColour for the terminal's own, a
    // basic colour for the indexes below 16 (as the 16-colour sequences set them), a palette
    // colour above, red, green and blue as they were sent.
    CellColour foreground(int row, int column) const;

    // Whether text written now would be in the terminal's own colours.
    bool penIsDefault() const;

    // The first `rows` lines of the window, `columns` cells each, in UTF-8, separated by '\n'.
    std::string text(int rows, int columns) const;

private:
    VTerm* terminal_;
};

// A code point in UTF-8.
std::string utf8(std::uint32_t codePoint);

}  // namespace brickstorm::testing
