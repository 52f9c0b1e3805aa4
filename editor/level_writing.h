#pragma once

#include <string>
#include <vector>

#include "editor/cell_box.h"
#include "editor/edited_level.h"
#include "world/level_file.h"

// The level file the editor writes, and what the loader will say of it.
namespace brickstorm::editor {

// The level file of `level` in its readable layout: the comment lines it came with, the sizes as
// `XXX YYY ZZZ` on a line, then each layer after a blank line and a `# layer N` line, one row a
// line from the farthest to the nearest. Loading it gives exactly `level` back.
std::string levelFileText(const EditedLevel& level);

// Where the letter of `cell` stands in levelFileText(level).
FilePlace placeInFile(const EditedLevel& level, CellPlace cell);

// The problems of the level's contents as the loader reports them for the file that saving it
// now would write: the same words, and the same places in that file. Empty for a level that
// can be played.
std::vector<LevelFileProblem> levelProblems(const EditedLevel& level);

}  // namespace brickstorm::editor
