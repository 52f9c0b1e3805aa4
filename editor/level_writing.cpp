#include "editor/level_writing.h"

#include <algorithm>
#include <cstddef>

#include "world/level.h"

namespace brickstorm::editor {

namespace {

std::string sizeText(std::int32_t size) {
    const std::string digits = std::to_string(size);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

}  // namespace

std::string levelFileText(const EditedLevel& level) {
    const LevelSizes& sizes = level.sizes();
    std::string text;
    // Each row and its line end, each layer's two lines, the comments and the sizes.
    text.reserve(static_cast<std::size_t>(level.cellCount()) +
                 static_cast<std::size_t>(sizes.y) * (static_cast<std::size_t>(sizes.z) + 16) + 64);
    for (const std::string& comment : level.comments()) {
        text += comment;
        text += '\n';
    }
    text += sizeText(sizes.x) + " " + sizeText(sizes.y) + " " + sizeText(sizes.z) + "\n";
    const auto comments = [&](std::int32_t layer) {
        for (const std::string& comment : level.layerComments(layer)) {
            text += comment;
            text += '\n';
        }
    };
    for (std::int32_t y = 0; y < sizes.y; ++y) {
        // A layer's own comments, as the file gave them, in place of the plain "# layer N".
        text += '\n';
        if (level.layerComments(y).empty()) {
            text += "# layer " + std::to_string(y) + "\n";
        }
        comments(y);
        for (std::int32_t z = sizes.z - 1; z >= 0; --z) {
            text.append(level.cells(), level.indexOf({0, y, z}), static_cast<std::size_t>(sizes.x));
            text += '\n';
        }
    }
    if (!level.layerComments(sizes.y).empty()) {
        text += '\n';
        comments(sizes.y);
    }
    return text;
}

FilePlace placeInFile(const EditedLevel& level, CellPlace cell) {
    const LevelSizes& sizes = level.sizes();
    // Before a layer's rows: a blank line, then its own comments or "# layer N".
    const auto linesBeforeRows = [&](std::int32_t layer) {
        return std::int64_t{1} +
               std::max<std::int64_t>(1, static_cast<std::int64_t>(level.layerComments(layer).size()));
    };
    std::int64_t line = static_cast<std::int64_t>(level.comments().size()) + 1;  // the sizes' line
    for (std::int32_t layer = 0; layer < cell.y; ++layer) {
        line += linesBeforeRows(layer) + sizes.z;
    }
    return {line + linesBeforeRows(cell.y) + (sizes.z - 1 - cell.z) + 1, std::int64_t{cell.x} + 1};
}

std::vector<LevelFileProblem> levelProblems(const EditedLevel& level) {
    LevelContentCounts counts;
    counts.playerStarts = level.playerStarts();
    counts.exits = level.exits();
    counts.enemies = level.enemies();
    // Finding the places costs a pass over the cells: only where a message names them.
    if (counts.playerStarts > 1) {
        for (const CellPlace cell : level.firstInFileOrder(kCellPlayerStart, kNamedPlayerStarts)) {
            counts.firstPlayerStarts.push_back(placeInFile(level, cell));
        }
    }
    if (counts.enemies > kMaxLevelEnemies) {
        if (const auto cell = level.numberedInFileOrder(kCellEnemyStart, kMaxLevelEnemies + 1)) {
            counts.firstEnemyTooMany = placeInFile(level, *cell);
        }
    }
    return levelContentProblems(counts);
}

}  // namespace brickstorm::editor
