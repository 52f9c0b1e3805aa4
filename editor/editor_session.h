#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/cell_box.h"
#include "editor/edit_history.h"
#include "editor/edited_level.h"
#include "world/level_file.h"

namespace brickstorm::editor {

// What the run-time is asked to do after a key: the editor itself touches no file and no screen.
enum class EditorRequest : std::uint8_t {
    None,
    Save,              // save the level, unless its file changed on disk since it was read
    SaveAndQuit,       // the same, and end the editor once it is saved
    Overwrite,         // save the level even though its file changed on disk
    OverwriteAndQuit,  // the same, and end the editor once it is saved
    Quit,              // end the editor; unsaved changes are given up on purpose
    PlayTest,          // play the level as it is now (levelToPlay(false))
    PlayTestHere,      // the same from the cursor's cell, facing the view's way (levelToPlay(true))
    SaveAs,            // save the level to the file typedName() names, and edit that file from then on
    RestoreRecovery,   // take the level from the recovery copy (then call restore())
    DiscardRecovery,   // remove the recovery copy
};

// A question the editor waits to have answered before it goes on editing.
enum class EditorQuestion : std::uint8_t {
    None,
    Quit,              // there are unsaved changes: save them before quitting?
    Overwrite,         // the file changed on disk: overwrite it?
    OverwriteAndQuit,  // the same, on the way out
    Restore,           // a recovery copy holds unsaved changes: restore them?
    SaveAs,            // the name to save as, being typed (Enter saves, Escape goes back)
};

// A pending choice of side for growing or shrinking the level.
enum class SideChoice : std::uint8_t { None, Grow, Shrink };

// The view of the level beside the map: from the cursor's cell along the editor's facing, or from
// the player's start as the game shows it.
struct ViewChoice {
    std::int32_t facing = 0;  // quarter turns from looking far (+z), clockwise seen from above
    bool fromStart = false;

    friend bool operator==(const ViewChoice&, const ViewChoice&) = default;
};

// The editor without a terminal: the level, its history, the cursor, the box being marked, the
// view, and what the keys do to them. Everything that needs the world outside (files, the
// screen, the clock) is asked of the run-time through the requests that handleKey returns.
class EditorSession {
public:
    explicit EditorSession(EditedLevel level);

    // Acts on one key code (an extended key arrives as its prefix and then its own code).
    EditorRequest handleKey(int code);

    // Ctrl+C while editing: the same as the quit key.
    EditorRequest interrupt();

    // The mouse's left button on a map cell of the current layer: a press moves the cursor there,
    // dragging paints every cell it passes with the letter set last, a release ends the stroke.
    void pointerPressed(std::int32_t x, std::int32_t z);
    void pointerDragged(std::int32_t x, std::int32_t z);
    void pointerReleased();

    // What the run-time reports back.
    void saved();                             // the level is on disk as it is now
    void saveFailed(const std::string& why);  // nothing changed on disk; every change is kept
    void askToOverwrite(bool thenQuit);       // the file changed on disk since it was read
    void askToRestore();                      // a recovery copy is newer than the file
    void restore(EditedLevel level);          // the recovery copy, as unsaved changes that undo takes back
    void note(std::string message);           // a line for the status line until the next key

    const EditedLevel& level() const { return level_; }
    EditedLevel& levelForView() { return level_; }  // to take its changes for the 3D view
    CellPlace cursor() const { return cursor_; }
    std::optional<CellPlace> mark() const { return mark_; }
    std::optional<CellBox> markedBox() const;
    ViewChoice view() const { return view_; }
    bool unsaved() const { return history_.state() != savedState_; }
    bool canPlay() const;
    // The level string to play: the level as it is, or with its start moved to the cursor's cell.
    std::string levelToPlay(bool fromCursor) const;
    EditorQuestion question() const { return question_; }
    SideChoice sideChoice() const { return sideChoice_; }
    // Every key is listed in a window over the screen (`?`), until the next key, which only
    // closes it.
    bool helpShown() const { return helpShown_; }
    const std::string& message() const { return message_; }
    // The file name typed for "save as", as far as it goes.
    const std::string& typedName() const { return typedName_; }
    const EditHistory& history() const { return history_; }
    // Counts every change of the level, undoing and redoing included.
    std::uint64_t levelVersion() const { return levelVersion_; }
    // The problems of the level's contents, in the loader's words.
    const std::vector<LevelFileProblem>& problems() const;

private:
    EditorRequest handleExtendedKey(int code);
    EditorRequest handleOrdinaryKey(int code);
    EditorRequest answer(int code, bool extended);
    EditorRequest playTestHere();
    EditorRequest typeName(int code, bool extended);
    void moveCursor(std::int32_t dx, std::int32_t dy, std::int32_t dz);
    void chooseSide(Side side);
    void setLetter(char letter);
    void moveStart();
    void fillMarkedBox(char letter);
    void setCells(const std::vector<CellPlace>& cells, char letter, bool extendStroke);
    void grow(Side side);
    void shrink(Side side);
    void undo();
    void redo();
    void followTheCells(Side side, std::int32_t by);
    void place(const EditPlace& where);
    EditPlace here() const { return {cursor_, mark_}; }
    void changed();
    void keepCursorInside();

    EditedLevel level_;
    EditHistory history_;
    CellPlace cursor_;
    std::optional<CellPlace> mark_;
    ViewChoice view_;
    char lastLetter_ = 'b';
    SideChoice sideChoice_ = SideChoice::None;
    EditorQuestion question_ = EditorQuestion::None;
    bool prefixPending_ = false;
    bool helpShown_ = false;
    std::string message_;
    std::string typedName_;
    std::uint64_t savedState_ = 0;
    std::uint64_t levelVersion_ = 0;

    // A stroke of the mouse: the cell it was last over, whether it has painted yet, and the
    // level's state after its last paint (a key in between starts a new change).
    struct Stroke {
        bool down = false;
        bool painted = false;
        std::int32_t x = 0;
        std::int32_t z = 0;
        std::uint64_t state = 0;
    };
    Stroke stroke_;

    mutable std::optional<std::vector<LevelFileProblem>> problems_;
};

}  // namespace brickstorm::editor
