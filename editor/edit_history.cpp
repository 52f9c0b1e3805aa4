#include "editor/edit_history.h"

#include <cstddef>
#include <utility>

namespace brickstorm::editor {

namespace {

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

}  // namespace

void applyEdit(EditedLevel& level, const LevelEdit& edit) {
    std::visit(Overloaded{
                   [&](const CellChanges& changes) {
                       for (const CellChange& change : changes.cells) {
                           level.setLetter(level.placeOf(change.index), change.after);
                       }
                   },
                   [&](const BoxFill& fill) { level.fillBox(fill.box, fill.letter); },
                   [&](const SlabAdded& added) { level.addSlab(added.side); },
                   [&](const SlabRemoved& removed) { level.removeSlab(removed.side); },
                   [&](const LevelReplaced& replaced) { level.replaceWith(*replaced.after); },
               },
               edit);
}

void revertEdit(EditedLevel& level, const LevelEdit& edit) {
    std::visit(Overloaded{
                   [&](const CellChanges& changes) {
                       // Backwards: a cell changed twice in one stroke ends as it began.
                       for (std::size_t i = changes.cells.size(); i > 0; --i) {
                           const CellChange& change = changes.cells[i - 1];
                           level.setLetter(level.placeOf(change.index), change.before);
                       }
                   },
                   [&](const BoxFill& fill) { level.fillBox(fill.box, fill.before); },
                   [&](const SlabAdded& added) { level.removeSlab(added.side); },
                   [&](const SlabRemoved& removed) {
                       level.addSlab(removed.side, removed.letters, removed.comments);
                   },
                   [&](const LevelReplaced& replaced) { level.replaceWith(*replaced.before); },
               },
               edit);
}

void EditHistory::record(LevelEdit edit, EditPlace before, EditPlace after) {
    entries_.resize(done_);
    entries_.push_back({std::move(edit), before, after, ++lastSerial_});
    ++done_;
}

void EditHistory::extendLast(const std::vector<CellChange>& cells, EditPlace after) {
    Entry& last = entries_[done_ - 1];
    auto& changes = std::get<CellChanges>(last.edit).cells;
    changes.insert(changes.end(), cells.begin(), cells.end());
    last.after = after;
    // Extended, the change is another state of the level.
    last.serial = ++lastSerial_;
}

std::optional<EditPlace> EditHistory::undo(EditedLevel& level) {
    if (!canUndo()) {
        return std::nullopt;
    }
    const Entry& entry = entries_[--done_];
    revertEdit(level, entry.edit);
    return entry.before;
}

std::optional<EditPlace> EditHistory::redo(EditedLevel& level) {
    if (!canRedo()) {
        return std::nullopt;
    }
    const Entry& entry = entries_[done_++];
    applyEdit(level, entry.edit);
    return entry.after;
}

std::size_t EditHistory::memoryUse() const {
    std::size_t bytes = entries_.capacity() * sizeof(Entry);
    for (const Entry& entry : entries_) {
        std::visit(
            Overloaded{
                [&](const CellChanges& changes) { bytes += changes.cells.capacity() * sizeof(CellChange); },
                [&](const BoxFill& fill) { bytes += fill.before.capacity(); },
                [&](const SlabAdded&) {},
                [&](const SlabRemoved& removed) { bytes += removed.letters.capacity(); },
                [&](const LevelReplaced& replaced) {
                    bytes += replaced.before->cells().capacity() + replaced.after->cells().capacity();
                },
            },
            entry.edit);
    }
    return bytes;
}

}  // namespace brickstorm::editor
