#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <variant>

#include "editor/edited_level.h"
#include "world/level_file.h"

namespace brickstorm::testing {

// The level that the text of a file opens as in the editor, with its leading comments. A text
// the editor refuses fails the test, and gives a level of one empty cell.
inline editor::EditedLevel levelForEditing(const std::string& text) {
    LevelFileParser parser(LevelFileUse::Edit);
    parser.take(text);
    EditableLevelFileResult result = parser.finishForEditing();
    if (auto* problem = std::get_if<LevelFileProblem>(&result)) {
        ADD_FAILURE() << "refused: " << problem->what;
        return editor::EditedLevel::newLevel({1, 1, 1});
    }
    auto& file = std::get<EditableLevelFile>(result);
    return *editor::EditedLevel::fromLevelString(file.level.text, std::move(file.leadingComments),
                                                 file.layerComments);
}

}  // namespace brickstorm::testing
