#include "support/vterm_screen.h"

#include <vterm.h>

namespace brickstorm::testing {

VtermScreen::VtermScreen(int rows, int columns) : terminal_(vterm_new(rows, columns)) {
    vterm_set_utf8(terminal_, 1);
    VTermScreen* screen = vterm_obtain_screen(terminal_);
    vterm_screen_enable_altscreen(screen, 1);
    vterm_screen_reset(screen, 1);
}

VtermScreen::~VtermScreen() { vterm_free(terminal_); }

void VtermScreen::feed(std::string_view bytes) { vterm_input_write(terminal_, bytes.data(), bytes.size()); }

std::uint32_t VtermScreen::character(int row, int column) const {
    VTermScreenCell cell{};
    vterm_screen_get_cell(vterm_obtain_screen(terminal_), VTermPos{row, column}, &cell);
    return cell.chars[0] == 0 ? ' ' : cell.chars[0];
}

CellColour VtermScreen::foreground(int row, int column) const {
    constexpr int kBasicColours = 16;
    VTermScreenCell cell{};
    vterm_screen_get_cell(vterm_obtain_screen(terminal_), VTermPos{row, column}, &cell);
    const VTermColor& fg = cell.fg;
    if (VTERM_COLOR_IS_DEFAULT_FG(&fg)) {
        return kNoColour;
    }
    if (VTERM_COLOR_IS_INDEXED(&fg)) {
        return fg.indexed.idx < kBasicColours ? basicColour(fg.indexed.idx) : paletteColour(fg.indexed.idx);
    }
    return directColour(Rgb{fg.rgb.red, fg.rgb.green, fg.rgb.blue});
}

bool VtermScreen::penIsDefault() const {
    VTermValue value{};
    vterm_state_get_penattr(vterm_obtain_state(terminal_), VTERM_ATTR_FOREGROUND, &value);
    return VTERM_COLOR_IS_DEFAULT_FG(&value.color);
}

void VtermScreen::resize(int rows, int columns) { vterm_set_size(terminal_, rows, columns); }

std::string VtermScreen::text(int rows, int columns) const {
    std::string shown;
    for (int row = 0; row < rows; ++row) {
        if (row != 0) {
            shown.push_back('\n');
        }
        for (int column = 0; column < columns; ++column) {
            shown += utf8(character(row, column));
        }
    }
    return shown;
}

std::string utf8(std::uint32_t codePoint) {
    std::string bytes;
    if (codePoint < 0x80) {
        bytes.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        bytes.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        bytes.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        bytes.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
    return bytes;
}

}  // namespace brickstorm::testing
