#pragma once

#include <cstdint>
#include <optional>

#include "editor/cell_box.h"
#include "editor/editor_session.h"
#include "render/colour.h"
#include "render/picture.h"

// The map: one layer of the level seen from above.
namespace brickstorm::editor {

// Each cell is two columns wide, so that with cells about twice as tall as wide it looks square.
inline constexpr std::int32_t kMapCellColumns = 2;

// The characters of the map, in the game's single-byte character set: two per cell.
namespace map_look {
inline constexpr unsigned char kBlock[] = {219, 219};  // full blocks
inline constexpr unsigned char kEmpty[] = {'.', ' '};  // nothing here, nothing to stand on below
inline constexpr unsigned char kFloor[] = {176, 176};  // nothing here, a block or the exit below
inline constexpr unsigned char kExit[] = {'E', ' '};
inline constexpr unsigned char kStart[] = {'p', '^'};  // the start faces far, up the map
inline constexpr unsigned char kEnemy[] = {'e', ' '};
inline constexpr unsigned char kCursor[] = {'<', '>'};
inline constexpr unsigned char kInBox[] = {177, 177};  // a cell of the box being marked
}  // namespace map_look

// Where the map has scrolled to: the first column of cells it shows (x) and its nearest row (z).
struct MapScroll {
    std::int32_t x = 0;
    std::int32_t z = 0;

    friend bool operator==(const MapScroll&, const MapScroll&) = default;
};

// How many cells across and rows a map of `columns` x `lines` shows: its first line is a heading.
std::int32_t mapCellsAcross(std::int32_t columns);
std::int32_t mapRowsShown(std::int32_t lines);

// Moves `scroll` as little as keeps `cursor` in a map of `columns` x `lines`, and no further than
// the level's far and right sides need.
void keepInView(MapScroll& scroll, CellPlace cursor, const LevelSizes& sizes, std::int32_t columns,
                std::int32_t lines);

// The map of the cursor's layer in `columns` x `lines` cells at `scroll`: a heading, then the
// rows from the far one at the top, x growing to the right. Where the layer is empty, what stands
// below (a block or the exit: something to stand on) shows dimmed. The cursor, and the box being
// marked where it crosses this layer, show over the cells. Coloured as the 3D view is, in
// `colour` when given.
Picture mapPicture(const EditorSession& editor, std::int32_t columns, std::int32_t lines,
                   const MapScroll& scroll, std::optional<ColourDepth> colour);

// The cell (x and z, on the cursor's layer) that such a map shows at (column, line) of it;
// nothing where it shows none.
struct MapCell {
    std::int32_t x = 0;
    std::int32_t z = 0;

    friend bool operator==(const MapCell&, const MapCell&) = default;
};
std::optional<MapCell> mapCellAt(const LevelSizes& sizes, std::int32_t columns, std::int32_t lines,
                                 const MapScroll& scroll, std::int32_t column, std::int32_t line);

}  // namespace brickstorm::editor
