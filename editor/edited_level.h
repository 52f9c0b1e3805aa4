#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/cell_box.h"
#include "world/level_file.h"

namespace brickstorm::editor {

// The size of a new level when none is asked for.
inline constexpr LevelSizes kNewLevelSizes{16, 8, 16};

// What changed in a level since the view of it was last brought up to date: boxes of cells, or
// the whole level when its sizes changed (or when so many boxes came that one rebuild is cheaper).
struct LevelChanges {
    bool whole = false;
    std::vector<CellBox> boxes;
};

// The level being edited: a box of letters as a level file holds them ('b', '0', 'E', 'p' and 'e',
// the starts kept as letters), with the comment lines that open its file. The cells lie as a
// Level's do: layer by layer, row by row along z, x fastest. The number of starts, exits and
// enemies is kept up to date with every change, so that the level's problems cost nothing to
// find out.
class EditedLevel {
public:
    // A level of `sizes` (each at least 1) with `cells` in the order above; `cells` must hold
    // exactly one letter for each cell.
    EditedLevel(LevelSizes sizes, std::string cells, std::vector<std::string> comments = {});

    // The level of a level string (nine digits of sizes, then the letters in the file's order);
    // nothing when the string is not one.
    static std::optional<EditedLevel> fromLevelString(std::string_view text,
                                                      std::vector<std::string> comments = {},
                                                      const std::vector<LayerComment>& layerComments = {});

    // A level ready to play before anything is drawn: a floor of blocks over all of layer 0, the
    // player's start in the middle of the nearest row of layer 1 and the exit in the middle of its
    // farthest row. A level one cell high has no room for a floor: the start and exit stand on
    // layer 0. Where the two would share a cell the exit moves one cell right, and a level of one
    // cell has no exit.
    static EditedLevel newLevel(LevelSizes sizes);

    const LevelSizes& sizes() const { return sizes_; }
    std::int64_t cellCount() const { return static_cast<std::int64_t>(cells_.size()); }
    bool contains(CellPlace cell) const {
        return cell.x >= 0 && cell.y >= 0 && cell.z >= 0 && cell.x < sizes_.x && cell.y < sizes_.y &&
               cell.z < sizes_.z;
    }
    // Where a cell inside the level lies in cells().
    std::size_t indexOf(CellPlace cell) const {
        return (static_cast<std::size_t>(cell.y) * static_cast<std::size_t>(sizes_.z) +
                static_cast<std::size_t>(cell.z)) *
                   static_cast<std::size_t>(sizes_.x) +
               static_cast<std::size_t>(cell.x);
    }
    CellPlace placeOf(std::size_t index) const;

    // The letter of a cell; '0' outside the level.
    char letterAt(CellPlace cell) const { return contains(cell) ? cells_[indexOf(cell)] : '0'; }

    // Sets a cell inside the level to `letter` and returns the letter it held.
    char setLetter(CellPlace cell, char letter);
    // Sets every cell of `box` (inside the level) to `letter`.
    void fillBox(const CellBox& box, char letter);
    // Sets the cells of `box` to `letters`, one for each cell in the order of cells().
    void fillBox(const CellBox& box, std::string_view letters);
    // The letters of the cells of `box`, in the order of cells().
    std::string boxLetters(const CellBox& box) const;

    std::int64_t playerStarts() const { return playerStarts_; }
    std::int64_t exits() const { return exits_; }
    std::int64_t enemies() const { return enemies_; }

    // The first `most` cells that hold `letter`, in the order the level file lists them (layers
    // upward, rows from the far one, x upward).
    std::vector<CellPlace> firstInFileOrder(char letter, std::size_t most) const;
    // The `number`th cell (from 1) that holds `letter` in the file's order, if there are that many.
    std::optional<CellPlace> numberedInFileOrder(char letter, std::int64_t number) const;

    const std::string& cells() const { return cells_; }
    const std::vector<std::string>& comments() const { return comments_; }
    // The comment lines a file gave layer `layer` (from 0; the number of layers for those after
    // the last row), but for the "# layer N" lines that levelFileText writes itself.
    const std::vector<std::string>& layerComments(std::int32_t layer) const {
        return layerComments_[static_cast<std::size_t>(layer)];
    }

    // The level string: the sizes as nine digits, then every letter in the file's order.
    std::string levelString() const;

    // The box of cells that `side` would lose in shrinking: its outermost slab.
    CellBox slabBox(Side side) const;
    // Adds a slab of cells on `side`: `letters` in the order of cells() (empty cells when none
    // are given), and for a layer, its comment lines. The cells already there keep their places
    // relative to each other.
    void addSlab(Side side, std::string_view letters = {}, std::vector<std::string> comments = {});
    // The comment lines of the slab on `side`: a layer's; none for the other sides.
    std::vector<std::string> slabComments(Side side) const;
    // Removes the outermost slab on `side`; the level must be more than one cell thick there.
    void removeSlab(Side side);

    // Becomes `other` whole: its sizes, cells and comments (the changes since the last call to
    // takeChanges then being the whole level).
    void replaceWith(const EditedLevel& other);

    // What changed since the last call.
    LevelChanges takeChanges();

    friend bool operator==(const EditedLevel& a, const EditedLevel& b) {
        return a.sizes_ == b.sizes_ && a.cells_ == b.cells_ && a.comments_ == b.comments_ &&
               a.layerComments_ == b.layerComments_;
    }

private:
    void count(char letter, std::int64_t delta);
    void countAll();
    void noteChanged(const CellBox& box);
    // Makes the level `sizes`, each cell moved by `offset`; cells not covered become '0'.
    void reshape(LevelSizes sizes, CellPlace offset);

    LevelSizes sizes_;
    std::string cells_;
    std::vector<std::string> comments_;
    std::vector<std::vector<std::string>> layerComments_;  // one entry per layer, and one after them
    std::int64_t playerStarts_ = 0;
    std::int64_t exits_ = 0;
    std::int64_t enemies_ = 0;
    LevelChanges changes_{true, {}};
};

}  // namespace brickstorm::editor
