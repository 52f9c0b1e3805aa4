#pragma once

#include <cstdint>
#include <string_view>

#include "render/colour.h"
#include "render/picture.h"

// Putting pictures together from parts, and text into them.
namespace brickstorm::editor {

// A picture of `lines` lines of `columns` blank cells.
Picture blankPicture(std::int32_t columns, std::int32_t lines);

// Copies `part` into `into` with its top left at (column, line), clipped to `into`.
void placePicture(Picture& into, const Picture& part, std::int32_t column, std::int32_t line);

// Writes `text` (the game's single-byte characters) from (column, line) to the right, in
// `colour`, clipped to the picture; blanks stay uncoloured.
void writeText(Picture& into, std::int32_t column, std::int32_t line, std::string_view text,
               CellColour colour = kNoColour);

}  // namespace brickstorm::editor
