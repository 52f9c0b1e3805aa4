// Fuzzes the editor's model with arbitrary key bytes. The first three bytes choose the sizes of a
// new level (1 to 8 cells each); every later byte is a key code, except that 0xFE and the three
// bytes after it are a report of the mouse (what the button did, and the cell's x and z, which may
// lie outside the level). After every key: the level keeps its shape (sizes within the limits,
// one letter of the five for each cell, the counts true), the cursor and the mark stay inside it.
// At the end: the level file written loads back as the same level, and undoing every change gives
// the new level back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "editor/editor_keys.h"
#include "editor/editor_session.h"
#include "editor/level_writing.h"
#include "world/level_file.h"

namespace {

using namespace brickstorm::editor;

constexpr std::uint8_t kMouseByte = 0xFE;
constexpr std::int32_t kLargestStartSize = 8;

[[noreturn]] void fail() { std::abort(); }

void checkShape(const EditorSession& editor) {
    const EditedLevel& level = editor.level();
    const LevelSizes& sizes = level.sizes();
    if (sizes.x < 1 || sizes.y < 1 || sizes.z < 1 || sizes.x > 999 || sizes.y > 999 || sizes.z > 999 ||
        level.cellCount() != std::int64_t{sizes.x} * sizes.y * sizes.z) {
        fail();
    }
    const std::string& cells = level.cells();
    if (cells.find_first_not_of("b0Epe") != std::string::npos ||
        std::count(cells.begin(), cells.end(), 'p') != level.playerStarts() ||
        std::count(cells.begin(), cells.end(), 'E') != level.exits() ||
        std::count(cells.begin(), cells.end(), 'e') != level.enemies()) {
        fail();
    }
    if (!level.contains(editor.cursor()) || (editor.mark() && !level.contains(*editor.mark()))) {
        fail();
    }
}

void mouse(EditorSession& editor, const std::uint8_t* report) {
    // A byte read as a signed one, so that a report can point outside the level on every side.
    const auto coordinate = [](std::uint8_t byte) {
        return byte < 128 ? std::int32_t{byte} : std::int32_t{byte} - 256;
    };
    const std::int32_t x = coordinate(report[1]);
    const std::int32_t z = coordinate(report[2]);
    switch (report[0] % 3) {
    case 0: editor.pointerPressed(x, z); break;
    case 1: editor.pointerDragged(x, z); break;
    default: editor.pointerReleased(); break;
    }
}

EditedLevel loaded(const std::string& text) {
    brickstorm::LevelFileParser parser(brickstorm::LevelFileUse::Edit);
    parser.take(text);
    auto result = parser.finishForEditing();
    auto* file = std::get_if<brickstorm::EditableLevelFile>(&result);
    if (file == nullptr) {
        fail();
    }
    auto level = EditedLevel::fromLevelString(file->level.text, file->leadingComments, file->layerComments);
    if (!level) {
        fail();
    }
    return *level;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const auto sizeOf = [](std::uint8_t byte) {
        return 1 + static_cast<std::int32_t>(byte % kLargestStartSize);
    };
    const EditedLevel original = EditedLevel::newLevel({sizeOf(data[0]), sizeOf(data[1]), sizeOf(data[2])});
    EditorSession editor(original);
    for (std::size_t i = 3; i < size; ++i) {
        if (data[i] == kMouseByte && i + 3 < size) {
            mouse(editor, data + i + 1);
            i += 3;
        } else {
            editor.handleKey(data[i]);
        }
        checkShape(editor);
    }
    if (!(loaded(levelFileText(editor.level())) == editor.level())) {
        fail();
    }
    // Out of whatever the keys left open (an extended key's prefix, a name being typed for save
    // as, a question), where u would be a letter or an answer rather than undo.
    editor.handleKey(kKeyEscape);
    editor.handleKey(kKeyEscape);
    while (editor.history().canUndo()) {
        editor.handleKey('u');
    }
    if (!(editor.level() == original)) {
        fail();
    }
    return 0;
}
