#include "editor/map_picture.h"

#include <algorithm>
#include <string>

#include "render/face.h"
#include "render/palette.h"
#include "world/level.h"

namespace brickstorm::editor {

namespace {

constexpr std::int32_t kHeadingLines = 1;

struct Look {
    const unsigned char* characters = nullptr;
    CellColour colour = kNoColour;
};

// The colours of the map: each thing as the 3D view colours it near by, what lies below as it
// looks far off.
struct MapColours {
    CellColour block = kNoColour;
    CellColour exit = kNoColour;
    CellColour enemy = kNoColour;
    CellColour below = kNoColour;
    CellColour box = kNoColour;
};

MapColours mapColours(std::optional<ColourDepth> depth) {
    if (!depth) {
        return {};
    }
    return {stepColour(FaceKind::BlockSideX, 0, *depth), stepColour(FaceKind::ExitDoor, 0, *depth),
            stepColour(FaceKind::Enemy, 0, *depth),
            stepColour(FaceKind::BlockTopBottom, kFogSteps - 1, *depth),
            stepColour(FaceKind::ExitWindow, 0, *depth)};
}

Look cellLook(const EditedLevel& level, CellPlace cell, const MapColours& colours) {
    switch (level.letterAt(cell)) {
    case kCellBlock: return {map_look::kBlock, colours.block};
    case kCellExit: return {map_look::kExit, colours.exit};
    case kCellPlayerStart: return {map_look::kStart};
    case kCellEnemyStart: return {map_look::kEnemy, colours.enemy};
    default: break;
    }
    const char below = level.letterAt({cell.x, cell.y - 1, cell.z});
    if (below == kCellBlock || below == kCellExit) {
        return {map_look::kFloor, colours.below};
    }
    return {map_look::kEmpty, colours.below};
}

std::string headingText(const EditorSession& editor) {
    return "Layer " + std::to_string(editor.cursor().y) + " (0-" +
           std::to_string(editor.level().sizes().y - 1) + "), far side up";
}

// The farthest row a map at `scroll` shows.
std::int32_t topRow(const LevelSizes& sizes, std::int32_t lines, const MapScroll& scroll) {
    return std::min(sizes.z, scroll.z + mapRowsShown(lines)) - 1;
}

}  // namespace

std::int32_t mapCellsAcross(std::int32_t columns) { return std::max(columns / kMapCellColumns, 1); }

std::int32_t mapRowsShown(std::int32_t lines) { return std::max(lines - kHeadingLines, 1); }

void keepInView(MapScroll& scroll, CellPlace cursor, const LevelSizes& sizes, std::int32_t columns,
                std::int32_t lines) {
    const auto keep = [](std::int32_t& first, std::int32_t at, std::int32_t shown, std::int32_t size) {
        if (at < first) {
            first = at;
        } else if (at >= first + shown) {
            first = at - shown + 1;
        }
        first = std::clamp(first, 0, std::max(size - shown, 0));
    };
    keep(scroll.x, cursor.x, mapCellsAcross(columns), sizes.x);
    keep(scroll.z, cursor.z, mapRowsShown(lines), sizes.z);
}

Picture mapPicture(const EditorSession& editor, std::int32_t columns, std::int32_t lines,
                   const MapScroll& scroll, std::optional<ColourDepth> colour) {
    Picture picture = blankPicture(columns, lines);
    const EditedLevel& level = editor.level();
    const LevelSizes& sizes = level.sizes();
    const CellPlace cursor = editor.cursor();
    const std::optional<CellBox> box = editor.markedBox();
    const MapColours colours = mapColours(colour);
    placeText(picture, headingText(editor), 0, 0);

    const std::int32_t lastX = std::min(sizes.x, scroll.x + mapCellsAcross(columns)) - 1;
    const std::int32_t top = topRow(sizes, lines, scroll);
    for (std::int32_t z = top; z >= scroll.z; --z) {
        CellLine& cells = picture.lines[static_cast<std::size_t>(kHeadingLines + top - z)];
        for (std::int32_t x = scroll.x; x <= lastX; ++x) {
            const CellPlace cell{x, cursor.y, z};
            Look look = cellLook(level, cell, colours);
            if (cell == cursor) {
                look = {map_look::kCursor};
            } else if (box && boxHolds(*box, cell)) {
                look = {map_look::kInBox, colours.box};
            }
            const auto column = static_cast<std::size_t>(x - scroll.x) * kMapCellColumns;
            for (std::size_t i = 0; i < kMapCellColumns && column + i < cells.size(); ++i) {
                const unsigned char character = look.characters[i];
                cells[column + i] = {character, character == ' ' ? kNoColour : look.colour};
            }
        }
    }
    return picture;
}

std::optional<MapCell> mapCellAt(const LevelSizes& sizes, std::int32_t columns, std::int32_t lines,
                                 const MapScroll& scroll, std::int32_t column, std::int32_t line) {
    if (column < 0 || column >= mapCellsAcross(columns) * kMapCellColumns || line < kHeadingLines ||
        line >= lines) {
        return std::nullopt;
    }
    const MapCell cell{scroll.x + column / kMapCellColumns,
                       topRow(sizes, lines, scroll) - (line - kHeadingLines)};
    if (cell.x >= sizes.x || cell.z < 0) {
        return std::nullopt;
    }
    return cell;
}

}  // namespace brickstorm::editor
