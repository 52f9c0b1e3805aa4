#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "editor/editor_session.h"
#include "editor/level_view.h"
#include "editor/map_picture.h"
#include "render/colour.h"
#include "render/picture.h"

// The editor's screen: the map and the 3D view side by side, the status lines and the help.
namespace brickstorm::editor {

// The smallest window the editor's screen fits; a smaller one gets the game's notice with this size.
inline constexpr std::int32_t kEditorLeastColumns = 80;
inline constexpr std::int32_t kEditorLeastLines = 24;

// The keys, as the help lines give them.
inline constexpr const char* kEditorHelpLines[] = {
    "b block  0 empty  E exit  p start  e enemy  Space toggle  v box  u undo  r redo",
    "+/- layer  [ ] turn  Tab view  g/s grow/shrink  t test  ^S save  q quit  ? keys",
};

// Every key and the mouse, as the window that `?` opens lists them.
inline constexpr const char* kEditorKeyList[] = {
    "Every key of the editor                           any key closes this list",
    "",
    "arrows           move the cursor on the layer (up is farther)",
    "PgUp PgDn + -    go up or down a layer (= is + without Shift)",
    "b 0 E p e        set the cell: block, empty, exit, the start, an enemy",
    "Space            toggle a block and an empty cell",
    "v                mark a box's corner: a letter or Space fills the box;",
    "                 v again or Escape drops the mark",
    "u r              undo, redo",
    "[ ]  Tab         turn the 3D view; see it from the cursor or the start",
    "g s then a side  grow or shrink the level on that side: an arrow,",
    "                 PgUp or + (the top), PgDn or - (the bottom)",
    "t  T             play-test from the start; from the cursor, facing",
    "                 the 3D view's way",
    "Ctrl+S  Ctrl+W   save; save as another file",
    "q  Ctrl+C        quit (asks first when changes are unsaved)",
    "mouse            a click moves the cursor, a drag paints the last letter",
};

// What the screen shows besides the session's own state.
struct ScreenFacts {
    std::string fileName;               // as given on the command line
    bool fileExists = false;            // false until a new level is first saved
    std::optional<ColourDepth> colour;  // the colours of the map and the 3D view, when coloured
    double cellAspect = 2.0;            // a cell's height over its width, for the 3D view
};

// Where the parts of the screen lie in a window of `columns` x `lines`.
struct EditorLayout {
    bool tooSmall = false;
    std::int32_t columns = 0;
    std::int32_t lines = 0;
    std::int32_t bodyLines = 0;   // the map's and the 3D view's lines, headings included
    std::int32_t mapColumns = 0;  // from column 0
    std::int32_t viewColumn = 0;  // the 3D view's first column, after a separator
    std::int32_t statusLine = 0;  // the first status line, after a rule; the help lines end the screen

    friend bool operator==(const EditorLayout&, const EditorLayout&) = default;
};

// The layout for `columns` x `lines` cells (the window less the column the game keeps free at its
// right edge) and a level of `sizes`: the map as wide as the level needs, up to half the width.
EditorLayout editorLayout(std::int32_t columns, std::int32_t lines, const LevelSizes& sizes);

// The status line about the level and the cursor, and the line or two below it: a question, a
// message, the level's problems, or that it is ready to play.
// The file's name is whole where `columns` leave room for it, else its end.
std::string statusText(const EditorSession& editor, const ScreenFacts& facts, std::int32_t columns = 0);
std::string noticeText(const EditorSession& editor, const ScreenFacts& facts);

// Composes the editor's pictures, remembering from one to the next where the map has scrolled to
// and the 3D view's faces.
class EditorScreen {
public:
    // The picture for `columns` x `lines` cells.
    Picture compose(EditorSession& editor, const ScreenFacts& facts, std::int32_t columns, std::int32_t lines);

    // The map cell under (column, line) of the window in the last picture composed, if any.
    std::optional<MapCell> mapCellAt(std::int32_t column, std::int32_t line) const;

private:
    MapScroll scroll_;
    LevelView view_;
    std::optional<EditorLayout> layout_;
    LevelSizes sizes_;
};

}  // namespace brickstorm::editor
