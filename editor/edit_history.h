#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "editor/cell_box.h"
#include "editor/edited_level.h"

namespace brickstorm::editor {

// One cell's change: where it lies in the level's cells, its letter before and after.
struct CellChange {
    std::uint32_t index = 0;
    char before = '0';
    char after = '0';

    friend bool operator==(const CellChange&, const CellChange&) = default;
};

// The changes a command makes, each kept by what it changed and no more, so that the history costs
// what the changes cost, whatever the level's size:
// cells set one by one (a letter, the start moved with the old start cleared, a stroke of the mouse);
struct CellChanges {
    std::vector<CellChange> cells;
};
// a box filled with one letter, with the letters it held, in the order of the level's cells;
struct BoxFill {
    CellBox box;
    char letter = '0';
    std::string before;
};
// a slab of empty cells added on a side;
struct SlabAdded {
    Side side = Side::Left;
};
// the outermost slab on a side removed, with the letters it held.
struct SlabRemoved {
    Side side = Side::Left;
    std::string letters;
    std::vector<std::string> comments;  // a layer's comment lines
};
// the whole level replaced by another (a recovery copy restored), with both kept.
struct LevelReplaced {
    std::shared_ptr<const EditedLevel> before;
    std::shared_ptr<const EditedLevel> after;
};
using LevelEdit = std::variant<CellChanges, BoxFill, SlabAdded, SlabRemoved, LevelReplaced>;

// Where the editor stood, so that undoing and redoing a change show it where it was made.
struct EditPlace {
    CellPlace cursor;
    std::optional<CellPlace> mark;

    friend bool operator==(const EditPlace&, const EditPlace&) = default;
};

// Makes `edit` on `level` (forward), or takes it back.
void applyEdit(EditedLevel& level, const LevelEdit& edit);
void revertEdit(EditedLevel& level, const LevelEdit& edit);

// The changes made to a level, to undo and redo without limit but memory.
class EditHistory {
public:
    // Notes a change just made to the level, from `before` to `after`. Changes undone and not
    // redone are forgotten.
    void record(LevelEdit edit, EditPlace before, EditPlace after);
    // Adds more cells to the last change, which must be a CellChanges (a stroke of the mouse
    // going on); `after` is where the editor now stands.
    void extendLast(const std::vector<CellChange>& cells, EditPlace after);

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < entries_.size(); }

    // Takes back the last change on `level`; where the editor stood before it.
    std::optional<EditPlace> undo(EditedLevel& level);
    // Makes the last change undone again; where the editor stood after it.
    std::optional<EditPlace> redo(EditedLevel& level);

    // Names the level's state by the changes made: two equal states are the same level. A new
    // change never takes the name of an earlier state.
    std::uint64_t state() const { return done_ == 0 ? 0 : entries_[done_ - 1].serial; }

    // The memory the kept changes take, in bytes.
    std::size_t memoryUse() const;

private:
    struct Entry {
        LevelEdit edit;
        EditPlace before;
        EditPlace after;
        std::uint64_t serial = 0;
    };

    std::vector<Entry> entries_;
    std::size_t done_ = 0;  // entries_[0] up to entries_[done_ - 1] are on the level
    std::uint64_t lastSerial_ = 0;
};

}  // namespace brickstorm::editor
