// Random editing sessions on the pack's levels: what is saved loads back as the edited level, and
// undoing every change gives the level as it was read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/key_codes.h"
#include "editor/editor_keys.h"
#include "editor/editor_session.h"
#include "editor/level_writing.h"
#include "support/level_for_editing.h"
#include "world/level_file.h"

namespace brickstorm::editor {
namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

using testing::levelForEditing;

// The keys of an editing session, each as the codes it sends. Moves come more often than changes,
// so that the changes spread over the level.
std::vector<std::vector<int>> editingKeys() {
    const auto arrow = [](int code) { return std::vector<int>{kNavigationKeyPrefix, code}; };
    std::vector<std::vector<int>> keys;
    for (int i = 0; i < 4; ++i) {
        for (const int code : {kUpArrowCode, kDownArrowCode, kLeftArrowCode, kRightArrowCode}) {
            keys.push_back(arrow(code));
        }
    }
    for (const int code : {kPageUpCode, kPageDownCode}) {
        keys.push_back(arrow(code));
    }
    for (const int key : std::initializer_list<int>{'b', '0', 'E', 'p', 'e', ' ', 'v', 'v', kKeyEscape, 'u',
                                                    'r', '+', '-', '[', ']', '\t'}) {
        keys.push_back({key});
    }
    for (const int command : {kKeyGrow, kKeyShrink}) {
        for (const int code :
             {kUpArrowCode, kDownArrowCode, kLeftArrowCode, kRightArrowCode, kPageUpCode, kPageDownCode}) {
            keys.push_back({command, kNavigationKeyPrefix, code});
        }
    }
    return keys;
}

TEST(EditorRoundTripTest, RandomEditsOfThePacksLevelsSaveAndUndoExactly) {
    const std::vector<std::vector<int>> keys = editingKeys();
    std::mt19937 random(20);
    std::uniform_int_distribution<std::size_t> pick(0, keys.size() - 1);
    int levels = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BRICKSTORM_LEVELS)) {
        if (entry.path().extension() != ".lvl") {
            continue;  // the runs that prove the levels
        }
        const EditedLevel original = levelForEditing(fileText(entry.path()));
        for (int session = 0; session < 5; ++session) {
            EditorSession editor(original);
            for (int i = 0; i < 300; ++i) {
                for (const int code : keys[pick(random)]) {
                    editor.handleKey(code);
                }
            }
            const EditedLevel edited = editor.level();
            EXPECT_EQ(levelForEditing(levelFileText(edited)), edited) << entry.path();
            EXPECT_EQ(edited.comments(), original.comments());
            int undone = 0;
            for (; editor.history().canUndo(); ++undone) {
                editor.handleKey(kKeyUndo);
            }
            EXPECT_EQ(editor.level(), original) << entry.path();
            EXPECT_FALSE(editor.unsaved());
            for (int i = 0; i < undone; ++i) {
                editor.handleKey(kKeyRedo);
            }
            EXPECT_EQ(editor.level(), edited) << entry.path();
        }
        ++levels;
    }
    EXPECT_GE(levels, 24);
}

}  // namespace
}  // namespace brickstorm::editor
