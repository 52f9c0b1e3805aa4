#include "editor/picture_parts.h"

#include <algorithm>
#include <cstddef>

namespace brickstorm::editor {

Picture blankPicture(std::int32_t columns, std::int32_t lines) {
    Picture picture;
    picture.lines.assign(static_cast<std::size_t>(std::max(lines, 0)),
                         CellLine(static_cast<std::size_t>(std::max(columns, 0))));
    return picture;
}

void placePicture(Picture& into, const Picture& part, std::int32_t column, std::int32_t line) {
    for (std::size_t l = 0; l < part.lines.size(); ++l) {
        const std::int64_t target = std::int64_t{line} + static_cast<std::int64_t>(l);
        if (target < 0 || target >= static_cast<std::int64_t>(into.lines.size())) {
            continue;
        }
        CellLine& cells = into.lines[static_cast<std::size_t>(target)];
        const CellLine& from = part.lines[l];
        for (std::size_t c = 0; c < from.size(); ++c) {
            const std::int64_t at = std::int64_t{column} + static_cast<std::int64_t>(c);
            if (at >= 0 && at < static_cast<std::int64_t>(cells.size())) {
                cells[static_cast<std::size_t>(at)] = from[c];
            }
        }
    }
}

void writeText(Picture& into, std::int32_t column, std::int32_t line, std::string_view text,
               CellColour colour) {
    if (line < 0 || static_cast<std::size_t>(line) >= into.lines.size()) {
        return;
    }
    CellLine& cells = into.lines[static_cast<std::size_t>(line)];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int64_t at = std::int64_t{column} + static_cast<std::int64_t>(i);
        if (at < 0) {
            continue;
        }
        if (at >= static_cast<std::int64_t>(cells.size())) {
            return;
        }
        const auto character = static_cast<unsigned char>(text[i]);
        cells[static_cast<std::size_t>(at)] = {character, character == ' ' ? kNoColour : colour};
    }
}

}  // namespace brickstorm::editor
