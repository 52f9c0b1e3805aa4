#include "editor/edited_level.h"

#include <algorithm>
#include <utility>

#include "world/level.h"

namespace brickstorm::editor {

namespace {

constexpr std::size_t kHeaderDigits = 9;
constexpr std::size_t kDigitsPerSize = 3;

// Beyond this many boxes of changes the view is rebuilt whole: cheaper than visiting each.
constexpr std::size_t kMostChangedBoxes = 4096;

std::optional<std::int32_t> readSize(std::string_view digits) {
    std::int32_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string sizeDigits(std::int32_t size) {
    const std::string digits = std::to_string(size);
    return std::string(kDigitsPerSize - std::min(digits.size(), kDigitsPerSize), '0') + digits;
}

// Calls `visit(index)` for every cell of `box`, in the order of the cells.
template <class Visit>
void forEachInBox(const EditedLevel& level, const CellBox& box, Visit&& visit) {
    for (std::int32_t y = box.low.y; y <= box.high.y; ++y) {
        for (std::int32_t z = box.low.z; z <= box.high.z; ++z) {
            const std::size_t first = level.indexOf({box.low.x, y, z});
            for (std::int32_t x = 0; x <= box.high.x - box.low.x; ++x) {
                visit(first + static_cast<std::size_t>(x));
            }
        }
    }
}

}  // namespace

EditedLevel::EditedLevel(LevelSizes sizes, std::string cells, std::vector<std::string> comments)
    : sizes_(sizes),
      cells_(std::move(cells)),
      comments_(std::move(comments)),
      layerComments_(static_cast<std::size_t>(sizes.y) + 1) {
    countAll();
}

namespace {

// "# layer N", the line levelFileText writes before each layer: written anew on every save, so
// that it follows the layers when they are added or taken away.
bool isOwnLayerLine(std::string_view line) {
    constexpr std::string_view kOwn = "# layer ";
    if (line.substr(0, kOwn.size()) != kOwn || line.size() == kOwn.size()) {
        return false;
    }
    return line.substr(kOwn.size()).find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::optional<EditedLevel> EditedLevel::fromLevelString(std::string_view text,
                                                        std::vector<std::string> comments,
                                                        const std::vector<LayerComment>& layerComments) {
    if (text.size() < kHeaderDigits) {
        return std::nullopt;
    }
    const auto x = readSize(text.substr(0, kDigitsPerSize));
    const auto y = readSize(text.substr(kDigitsPerSize, kDigitsPerSize));
    const auto z = readSize(text.substr(2 * kDigitsPerSize, kDigitsPerSize));
    if (!x || !y || !z || *x < 1 || *y < 1 || *z < 1 ||
        text.size() - kHeaderDigits !=
            static_cast<std::size_t>(*x) * static_cast<std::size_t>(*y) * static_cast<std::size_t>(*z)) {
        return std::nullopt;
    }
    // The file lists each layer's rows from the far one: row by row, the reverse of the cells' order.
    const auto rowLength = static_cast<std::size_t>(*x);
    std::string cells(text.size() - kHeaderDigits, kCellEmpty);
    std::size_t next = kHeaderDigits;
    for (std::int32_t layer = 0; layer < *y; ++layer) {
        for (std::int32_t row = *z - 1; row >= 0; --row) {
            const std::size_t at = (static_cast<std::size_t>(layer) * static_cast<std::size_t>(*z) +
                                    static_cast<std::size_t>(row)) *
                                   rowLength;
            std::copy_n(text.begin() + static_cast<std::ptrdiff_t>(next), rowLength,
                        cells.begin() + static_cast<std::ptrdiff_t>(at));
            next += rowLength;
        }
    }
    EditedLevel level({*x, *y, *z}, std::move(cells), std::move(comments));
    for (const LayerComment& comment : layerComments) {
        if (!isOwnLayerLine(comment.text)) {
            level.layerComments_[static_cast<std::size_t>(std::clamp(comment.layer, 0, *y))].push_back(
                comment.text);
        }
    }
    return level;
}

EditedLevel EditedLevel::newLevel(LevelSizes sizes) {
    EditedLevel level(sizes,
                      std::string(static_cast<std::size_t>(sizes.x) * static_cast<std::size_t>(sizes.y) *
                                      static_cast<std::size_t>(sizes.z),
                                  kCellEmpty));
    const std::int32_t room = sizes.y > 1 ? 1 : 0;
    if (room == 1) {
        level.fillBox({{0, 0, 0}, {sizes.x - 1, 0, sizes.z - 1}}, kCellBlock);
    }
    const CellPlace start{sizes.x / 2, room, 0};
    CellPlace exit{sizes.x / 2, room, sizes.z - 1};
    if (exit == start) {
        exit.x = start.x + 1 < sizes.x ? start.x + 1 : start.x - 1;
    }
    level.setLetter(start, kCellPlayerStart);
    if (level.contains(exit)) {
        level.setLetter(exit, kCellExit);
    }
    level.changes_ = {true, {}};
    return level;
}

void EditedLevel::replaceWith(const EditedLevel& other) {
    sizes_ = other.sizes_;
    cells_ = other.cells_;
    comments_ = other.comments_;
    layerComments_ = other.layerComments_;
    playerStarts_ = other.playerStarts_;
    exits_ = other.exits_;
    enemies_ = other.enemies_;
    changes_ = {true, {}};
}

CellPlace EditedLevel::placeOf(std::size_t index) const {
    const auto row = static_cast<std::size_t>(sizes_.x);
    const auto layer = row * static_cast<std::size_t>(sizes_.z);
    return {static_cast<std::int32_t>(index % row), static_cast<std::int32_t>(index / layer),
            static_cast<std::int32_t>(index % layer / row)};
}

char EditedLevel::setLetter(CellPlace cell, char letter) {
    char& here = cells_[indexOf(cell)];
    const char before = here;
    if (before != letter) {
        count(before, -1);
        count(letter, 1);
        here = letter;
        noteChanged({cell, cell});
    }
    return before;
}

void EditedLevel::fillBox(const CellBox& box, char letter) {
    forEachInBox(*this, box, [&](std::size_t i) {
        count(cells_[i], -1);
        cells_[i] = letter;
    });
    count(letter, boxVolume(box));
    noteChanged(box);
}

void EditedLevel::fillBox(const CellBox& box, std::string_view letters) {
    std::size_t next = 0;
    forEachInBox(*this, box, [&](std::size_t i) {
        count(cells_[i], -1);
        cells_[i] = letters[next++];
        count(cells_[i], 1);
    });
    noteChanged(box);
}

std::string EditedLevel::boxLetters(const CellBox& box) const {
    std::string letters;
    letters.reserve(static_cast<std::size_t>(boxVolume(box)));
    forEachInBox(*this, box, [&](std::size_t i) { letters += cells_[i]; });
    return letters;
}

std::vector<CellPlace> EditedLevel::firstInFileOrder(char letter, std::size_t most) const {
    std::vector<CellPlace> found;
    for (std::int32_t y = 0; y < sizes_.y && found.size() < most; ++y) {
        for (std::int32_t z = sizes_.z - 1; z >= 0 && found.size() < most; --z) {
            const std::size_t first = indexOf({0, y, z});
            const std::string_view row(cells_.data() + first, static_cast<std::size_t>(sizes_.x));
            for (auto x = row.find(letter); x != std::string_view::npos && found.size() < most;
                 x = row.find(letter, x + 1)) {
                found.push_back({static_cast<std::int32_t>(x), y, z});
            }
        }
    }
    return found;
}

std::optional<CellPlace> EditedLevel::numberedInFileOrder(char letter, std::int64_t number) const {
    std::int64_t seen = 0;
    for (std::int32_t y = 0; y < sizes_.y; ++y) {
        for (std::int32_t z = sizes_.z - 1; z >= 0; --z) {
            const std::size_t first = indexOf({0, y, z});
            const auto begin = cells_.begin() + static_cast<std::ptrdiff_t>(first);
            const auto end = begin + sizes_.x;
            const std::int64_t inRow = std::count(begin, end, letter);
            if (seen + inRow >= number) {
                auto at = begin;
                for (; at != end; ++at) {
                    if (*at == letter && ++seen == number) {
                        break;
                    }
                }
                return CellPlace{static_cast<std::int32_t>(at - begin), y, z};
            }
            seen += inRow;
        }
    }
    return std::nullopt;
}

std::string EditedLevel::levelString() const {
    std::string text = sizeDigits(sizes_.x) + sizeDigits(sizes_.y) + sizeDigits(sizes_.z);
    text.reserve(kHeaderDigits + cells_.size());
    for (std::int32_t y = 0; y < sizes_.y; ++y) {
        for (std::int32_t z = sizes_.z - 1; z >= 0; --z) {
            text.append(cells_, indexOf({0, y, z}), static_cast<std::size_t>(sizes_.x));
        }
    }
    return text;
}

CellBox EditedLevel::slabBox(Side side) const {
    CellBox box{{0, 0, 0}, {sizes_.x - 1, sizes_.y - 1, sizes_.z - 1}};
    switch (side) {
    case Side::Left: box.high.x = 0; break;
    case Side::Right: box.low.x = sizes_.x - 1; break;
    case Side::Near: box.high.z = 0; break;
    case Side::Far: box.low.z = sizes_.z - 1; break;
    case Side::Bottom: box.high.y = 0; break;
    case Side::Top: box.low.y = sizes_.y - 1; break;
    }
    return box;
}

std::vector<std::string> EditedLevel::slabComments(Side side) const {
    if (side == Side::Bottom) {
        return layerComments_.front();
    }
    if (side == Side::Top) {
        return layerComments_[static_cast<std::size_t>(sizes_.y) - 1];
    }
    return {};
}

void EditedLevel::addSlab(Side side, std::string_view letters, std::vector<std::string> comments) {
    LevelSizes sizes = sizes_;
    CellPlace offset;
    switch (side) {
    case Side::Left: ++sizes.x, offset.x = 1; break;
    case Side::Right: ++sizes.x; break;
    case Side::Near: ++sizes.z, offset.z = 1; break;
    case Side::Far: ++sizes.z; break;
    case Side::Bottom: ++sizes.y, offset.y = 1; break;
    case Side::Top: ++sizes.y; break;
    }
    reshape(sizes, offset);
    if (side == Side::Bottom) {
        layerComments_.insert(layerComments_.begin(), std::move(comments));
    } else if (side == Side::Top) {
        layerComments_.insert(layerComments_.end() - 1, std::move(comments));
    }
    if (!letters.empty()) {
        fillBox(slabBox(side), letters);
    }
    changes_ = {true, {}};
}

void EditedLevel::removeSlab(Side side) {
    LevelSizes sizes = sizes_;
    CellPlace offset;
    switch (side) {
    case Side::Left: --sizes.x, offset.x = -1; break;
    case Side::Right: --sizes.x; break;
    case Side::Near: --sizes.z, offset.z = -1; break;
    case Side::Far: --sizes.z; break;
    case Side::Bottom: --sizes.y, offset.y = -1; break;
    case Side::Top: --sizes.y; break;
    }
    if (side == Side::Bottom) {
        layerComments_.erase(layerComments_.begin());
    } else if (side == Side::Top) {
        layerComments_.erase(layerComments_.end() - 2);
    }
    reshape(sizes, offset);
}

void EditedLevel::reshape(LevelSizes sizes, CellPlace offset) {
    EditedLevel reshaped(sizes,
                         std::string(static_cast<std::size_t>(sizes.x) * static_cast<std::size_t>(sizes.y) *
                                         static_cast<std::size_t>(sizes.z),
                                     kCellEmpty),
                         {});
    // Row by row: the part of each old row that stays, copied whole.
    const std::int32_t fromX = std::max(0, -offset.x);
    const std::int32_t toX = std::min(sizes_.x, sizes.x - offset.x);
    for (std::int32_t y = 0; y < sizes_.y; ++y) {
        for (std::int32_t z = 0; z < sizes_.z; ++z) {
            const CellPlace moved{fromX + offset.x, y + offset.y, z + offset.z};
            if (toX <= fromX || !reshaped.contains(moved)) {
                continue;
            }
            std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(indexOf({fromX, y, z})), toX - fromX,
                        reshaped.cells_.begin() + static_cast<std::ptrdiff_t>(reshaped.indexOf(moved)));
        }
    }
    sizes_ = sizes;
    cells_ = std::move(reshaped.cells_);
    countAll();
    changes_ = {true, {}};
}

LevelChanges EditedLevel::takeChanges() { return std::exchange(changes_, {}); }

void EditedLevel::count(char letter, std::int64_t delta) {
    switch (letter) {
    case kCellPlayerStart: playerStarts_ += delta; break;
    case kCellExit: exits_ += delta; break;
    case kCellEnemyStart: enemies_ += delta; break;
    default: break;
    }
}

void EditedLevel::countAll() {
    playerStarts_ = std::count(cells_.begin(), cells_.end(), kCellPlayerStart);
    exits_ = std::count(cells_.begin(), cells_.end(), kCellExit);
    enemies_ = std::count(cells_.begin(), cells_.end(), kCellEnemyStart);
}

void EditedLevel::noteChanged(const CellBox& box) {
    if (changes_.whole) {
        return;
    }
    if (changes_.boxes.size() == kMostChangedBoxes) {
        changes_ = {true, {}};
        return;
    }
    changes_.boxes.push_back(box);
}

}  // namespace brickstorm::editor
