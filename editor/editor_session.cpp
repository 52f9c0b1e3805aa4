#include "editor/editor_session.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <utility>

#include "editor/editor_keys.h"
#include "editor/level_writing.h"
#include "world/level.h"

namespace brickstorm::editor {

namespace {

constexpr std::int32_t kQuarterTurns = 4;
// The largest size a level file's header can write.
constexpr std::int32_t kLargestSize = 999;

bool isLetterKey(int code) {
    return code == kCellBlock || code == kCellEmpty || code == kCellExit || code == kCellEnemyStart;
}

std::int32_t sizeAlong(const LevelSizes& sizes, Side side) {
    switch (side) {
    case Side::Left:
    case Side::Right: return sizes.x;
    case Side::Near:
    case Side::Far: return sizes.z;
    case Side::Bottom:
    case Side::Top: return sizes.y;
    }
    return 0;
}

const char* sideName(Side side) {
    switch (side) {
    case Side::Left: return "left";
    case Side::Right: return "right";
    case Side::Near: return "near";
    case Side::Far: return "far";
    case Side::Bottom: return "bottom";
    case Side::Top: return "top";
    }
    return "";
}

// The cells from (x0, z0) to (x1, z1) on one layer, both ends included, along the straightest
// line of cells: a drag that jumps leaves no gap.
std::vector<CellPlace> lineOfCells(std::int32_t x0, std::int32_t z0, std::int32_t x1, std::int32_t z1,
                                   std::int32_t y) {
    std::vector<CellPlace> cells;
    const std::int32_t dx = std::abs(x1 - x0);
    const std::int32_t dz = -std::abs(z1 - z0);
    const std::int32_t stepX = x0 < x1 ? 1 : -1;
    const std::int32_t stepZ = z0 < z1 ? 1 : -1;
    std::int32_t error = dx + dz;
    while (true) {
        cells.push_back({x0, y, z0});
        if (x0 == x1 && z0 == z1) {
            return cells;
        }
        const std::int32_t twice = 2 * error;
        if (twice >= dz) {
            error += dz;
            x0 += stepX;
        }
        if (twice <= dx) {
            error += dx;
            z0 += stepZ;
        }
    }
}

}  // namespace

EditorSession::EditorSession(EditedLevel level) : level_(std::move(level)) {
    // The cursor starts on the player's start, where there is one.
    const std::vector<CellPlace> starts = level_.firstInFileOrder(kCellPlayerStart, 1);
    if (!starts.empty()) {
        cursor_ = starts.front();
    }
}

EditorRequest EditorSession::handleKey(int code) {
    message_.clear();
    if (prefixPending_) {
        prefixPending_ = false;
        if (std::exchange(helpShown_, false)) {
            return EditorRequest::None;
        }
        if (question_ != EditorQuestion::None) {
            return answer(code, true);
        }
        return handleExtendedKey(code);
    }
    if (code == kNavigationKeyPrefix || code == kFunctionKeyPrefix) {
        prefixPending_ = true;
        return EditorRequest::None;
    }
    if (std::exchange(helpShown_, false)) {
        return EditorRequest::None;  // the key closes the list, and does nothing else
    }
    if (question_ != EditorQuestion::None) {
        return answer(code, false);
    }
    return handleOrdinaryKey(code);
}

EditorRequest EditorSession::interrupt() {
    message_.clear();
    sideChoice_ = SideChoice::None;
    if (question_ == EditorQuestion::Restore) {
        return EditorRequest::None;  // answered with y or n only
    }
    if (question_ != EditorQuestion::None) {
        question_ = EditorQuestion::None;  // a second Ctrl+C takes the question back
        return EditorRequest::None;
    }
    if (!unsaved()) {
        return EditorRequest::Quit;
    }
    question_ = EditorQuestion::Quit;
    return EditorRequest::None;
}

EditorRequest EditorSession::answer(int code, bool extended) {
    const EditorQuestion asked = question_;
    if (asked == EditorQuestion::SaveAs) {
        return typeName(code, extended);
    }
    const bool yes = !extended && code == kKeyYes;
    const bool no = !extended && code == kKeyNo;
    if (asked == EditorQuestion::Restore) {
        if (!yes && !no) {
            return EditorRequest::None;
        }
        question_ = EditorQuestion::None;
        return yes ? EditorRequest::RestoreRecovery : EditorRequest::DiscardRecovery;
    }
    question_ = EditorQuestion::None;
    switch (asked) {
    case EditorQuestion::Quit:
        if (yes) {
            return EditorRequest::SaveAndQuit;
        }
        if (no) {
            return EditorRequest::Quit;
        }
        break;
    case EditorQuestion::Overwrite:
    case EditorQuestion::OverwriteAndQuit:
        if (yes) {
            return asked == EditorQuestion::Overwrite ? EditorRequest::Overwrite
                                                      : EditorRequest::OverwriteAndQuit;
        }
        message_ = "Not saved: the file on disk is left as it is, and every change is kept.";
        break;
    case EditorQuestion::None:
    case EditorQuestion::Restore:
    case EditorQuestion::SaveAs: break;
    }
    return EditorRequest::None;
}

// A key while the name to save as is typed: Enter saves, Escape goes back, Backspace takes back
// the last character; an extended key means nothing here.
EditorRequest EditorSession::typeName(int code, bool extended) {
    constexpr int kEnter = '\r';
    constexpr int kLineFeed = '\n';
    constexpr int kBackspace = 127;
    constexpr int kCtrlH = 8;
    constexpr int kFirstPrintable = 32;
    constexpr std::size_t kLongestName = 4096;  // the longest path the system takes
    if (extended) {
        return EditorRequest::None;
    }
    if (code == kEnter || code == kLineFeed) {
        question_ = EditorQuestion::None;
        if (typedName_.empty()) {
            message_ = "Not saved: no name was given.";
            return EditorRequest::None;
        }
        return EditorRequest::SaveAs;
    }
    if (code == kKeyEscape || code == kKeyInterrupt) {
        question_ = EditorQuestion::None;
        return EditorRequest::None;
    }
    if (code == kBackspace || code == kCtrlH) {
        // A whole character, however many bytes of UTF-8 it took.
        while (!typedName_.empty() && (static_cast<unsigned char>(typedName_.back()) & 0xc0U) == 0x80U) {
            typedName_.pop_back();
        }
        if (!typedName_.empty()) {
            typedName_.pop_back();
        }
        return EditorRequest::None;
    }
    constexpr int kLastByte = 255;  // beyond: a mouse report's code
    if (code >= kFirstPrintable && code <= kLastByte && code != kBackspace &&
        typedName_.size() < kLongestName) {
        typedName_ += static_cast<char>(code);
    }
    return EditorRequest::None;
}

EditorRequest EditorSession::handleExtendedKey(int code) {
    if (sideChoice_ != SideChoice::None) {
        switch (code) {
        case kUpArrowCode: chooseSide(Side::Far); break;
        case kDownArrowCode: chooseSide(Side::Near); break;
        case kLeftArrowCode: chooseSide(Side::Left); break;
        case kRightArrowCode: chooseSide(Side::Right); break;
        case kPageUpCode: chooseSide(Side::Top); break;
        case kPageDownCode: chooseSide(Side::Bottom); break;
        default: sideChoice_ = SideChoice::None; break;
        }
        return EditorRequest::None;
    }
    switch (code) {
    case kUpArrowCode: moveCursor(0, 0, 1); break;
    case kDownArrowCode: moveCursor(0, 0, -1); break;
    case kLeftArrowCode: moveCursor(-1, 0, 0); break;
    case kRightArrowCode: moveCursor(1, 0, 0); break;
    case kPageUpCode: moveCursor(0, 1, 0); break;
    case kPageDownCode: moveCursor(0, -1, 0); break;
    default: break;
    }
    return EditorRequest::None;
}

EditorRequest EditorSession::handleOrdinaryKey(int code) {
    if (sideChoice_ != SideChoice::None) {
        switch (code) {
        case kKeyLayerUp:
        case kKeyLayerUpUnshifted: chooseSide(Side::Top); break;
        case kKeyLayerDown: chooseSide(Side::Bottom); break;
        default: sideChoice_ = SideChoice::None; break;
        }
        return EditorRequest::None;
    }
    if (isLetterKey(code)) {
        setLetter(static_cast<char>(code));
        return EditorRequest::None;
    }
    switch (code) {
    case kCellPlayerStart: moveStart(); break;
    case kKeyToggle: setLetter(level_.letterAt(cursor_) == kCellBlock ? kCellEmpty : kCellBlock); break;
    case kKeyLayerUp:
    case kKeyLayerUpUnshifted: moveCursor(0, 1, 0); break;
    case kKeyLayerDown: moveCursor(0, -1, 0); break;
    case kKeyMark:
        if (mark_) {
            mark_.reset();
        } else {
            mark_ = cursor_;
        }
        break;
    case kKeyEscape: mark_.reset(); break;
    case kKeyUndo: undo(); break;
    case kKeyRedo: redo(); break;
    case kKeyTurnViewLeft: view_.facing = (view_.facing + kQuarterTurns - 1) % kQuarterTurns; break;
    case kKeyTurnViewRight: view_.facing = (view_.facing + 1) % kQuarterTurns; break;
    case kKeySwitchView: view_.fromStart = !view_.fromStart; break;
    case kKeyGrow: sideChoice_ = SideChoice::Grow; break;
    case kKeyShrink: sideChoice_ = SideChoice::Shrink; break;
    case kKeyPlayTest:
        if (canPlay()) {
            return EditorRequest::PlayTest;
        }
        message_ = "Cannot play-test: " + problems().front().what;
        break;
    case kKeyPlayTestHere: return playTestHere();
    case kKeyHelp: helpShown_ = true; break;
    case kKeySave: return EditorRequest::Save;
    case kKeySaveAs:
        typedName_.clear();
        question_ = EditorQuestion::SaveAs;
        break;
    case kKeyQuit:
    case kKeyInterrupt: return interrupt();
    default: break;
    }
    return EditorRequest::None;
}

void EditorSession::moveCursor(std::int32_t dx, std::int32_t dy, std::int32_t dz) {
    const LevelSizes& sizes = level_.sizes();
    cursor_.x = std::clamp(cursor_.x + dx, 0, sizes.x - 1);
    cursor_.y = std::clamp(cursor_.y + dy, 0, sizes.y - 1);
    cursor_.z = std::clamp(cursor_.z + dz, 0, sizes.z - 1);
}

void EditorSession::chooseSide(Side side) {
    const SideChoice choice = std::exchange(sideChoice_, SideChoice::None);
    if (choice == SideChoice::Grow) {
        grow(side);
    } else {
        shrink(side);
    }
}

bool EditorSession::canPlay() const {
    return level_.playerStarts() == 1 && level_.enemies() <= kMaxLevelEnemies;
}

EditorRequest EditorSession::playTestHere() {
    const char letter = level_.letterAt(cursor_);
    if (letter != kCellEmpty && letter != kCellPlayerStart) {
        message_ = std::string("Cannot play-test from the cursor: its cell holds ") +
                   (letter == kCellBlock  ? "a block"
                    : letter == kCellExit ? "the exit"
                                          : "an enemy") +
                   "; the player starts in an empty cell.";
        return EditorRequest::None;
    }
    if (level_.enemies() > kMaxLevelEnemies) {
        message_ = "Cannot play-test: " + problems().front().what;  // the enemies' problem comes first
        return EditorRequest::None;
    }
    return EditorRequest::PlayTestHere;
}

std::string EditorSession::levelToPlay(bool fromCursor) const {
    if (!fromCursor) {
        return level_.levelString();
    }
    EditedLevel moved = level_;
    for (const CellPlace start :
         level_.firstInFileOrder(kCellPlayerStart, std::numeric_limits<std::size_t>::max())) {
        moved.setLetter(start, kCellEmpty);
    }
    moved.setLetter(cursor_, kCellPlayerStart);
    return moved.levelString();
}

std::optional<CellBox> EditorSession::markedBox() const {
    if (!mark_) {
        return std::nullopt;
    }
    return boxBetween(*mark_, cursor_);
}

void EditorSession::setLetter(char letter) {
    lastLetter_ = letter;
    if (mark_) {
        fillMarkedBox(letter);
        return;
    }
    setCells({cursor_}, letter, false);
}

void EditorSession::moveStart() {
    lastLetter_ = kCellPlayerStart;
    if (level_.letterAt(cursor_) == kCellPlayerStart && level_.playerStarts() == 1) {
        return;
    }
    // Every other start is cleared: a level has one.
    const EditPlace before = here();
    std::vector<CellChange> changes;
    for (const CellPlace start :
         level_.firstInFileOrder(kCellPlayerStart, std::numeric_limits<std::size_t>::max())) {
        if (start != cursor_) {
            changes.push_back(
                {static_cast<std::uint32_t>(level_.indexOf(start)), kCellPlayerStart, kCellEmpty});
            level_.setLetter(start, kCellEmpty);
        }
    }
    const char old = level_.setLetter(cursor_, kCellPlayerStart);
    if (old != kCellPlayerStart) {
        changes.push_back({static_cast<std::uint32_t>(level_.indexOf(cursor_)), old, kCellPlayerStart});
    }
    history_.record(CellChanges{std::move(changes)}, before, here());
    changed();
}

void EditorSession::fillMarkedBox(char letter) {
    const CellBox box = *markedBox();
    const EditPlace before = here();
    std::string letters = level_.boxLetters(box);
    if (letters.find_first_not_of(letter) == std::string::npos) {
        mark_.reset();  // nothing to change: the box is done with all the same
        return;
    }
    level_.fillBox(box, letter);
    mark_.reset();
    history_.record(BoxFill{box, letter, std::move(letters)}, before, here());
    changed();
}

void EditorSession::setCells(const std::vector<CellPlace>& cells, char letter, bool extendStroke) {
    if (letter == kCellPlayerStart) {
        cursor_ = cells.back();
        moveStart();
        return;
    }
    const EditPlace before = here();
    std::vector<CellChange> changes;
    for (const CellPlace cell : cells) {
        const char old = level_.setLetter(cell, letter);
        if (old != letter) {
            changes.push_back({static_cast<std::uint32_t>(level_.indexOf(cell)), old, letter});
        }
    }
    if (changes.empty()) {
        return;
    }
    if (extendStroke) {
        history_.extendLast(changes, here());
    } else {
        history_.record(CellChanges{std::move(changes)}, before, here());
    }
    changed();
}

void EditorSession::grow(Side side) {
    const LevelSizes& sizes = level_.sizes();
    const std::int64_t slab = boxVolume(level_.slabBox(side));
    if (sizeAlong(sizes, side) >= kLargestSize || level_.cellCount() + slab > kMaxLevelCells) {
        message_ = std::string("The level cannot grow on the ") + sideName(side) + " side: at most " +
                   std::to_string(kLargestSize) + " cells along each side and " +
                   std::to_string(kMaxLevelCells) + " cells in all.";
        return;
    }
    const EditPlace before = here();
    level_.addSlab(side);
    followTheCells(side, 1);
    history_.record(SlabAdded{side}, before, here());
    changed();
}

void EditorSession::shrink(Side side) {
    if (sizeAlong(level_.sizes(), side) <= 1) {
        message_ = std::string("The level cannot shrink on the ") + sideName(side) +
                   " side: it is one cell thick there.";
        return;
    }
    const EditPlace before = here();
    std::string letters = level_.boxLetters(level_.slabBox(side));
    std::vector<std::string> comments = level_.slabComments(side);
    level_.removeSlab(side);
    followTheCells(side, -1);
    keepCursorInside();
    history_.record(SlabRemoved{side, std::move(letters), std::move(comments)}, before, here());
    changed();
}

// Every cell keeps its place relative to the others when a slab is added or removed on `side`
// (`by` is +1 or -1): the cursor, the mark and a mouse stroke's last cell move with them.
void EditorSession::followTheCells(Side side, std::int32_t by) {
    if (!isLowSide(side)) {
        return;
    }
    const CellPlace shift{side == Side::Left ? by : 0, side == Side::Bottom ? by : 0,
                          side == Side::Near ? by : 0};
    const auto moved = [&](CellPlace cell) {
        return CellPlace{cell.x + shift.x, cell.y + shift.y, cell.z + shift.z};
    };
    cursor_ = moved(cursor_);
    if (mark_) {
        mark_ = moved(*mark_);
    }
    stroke_.x += shift.x;
    stroke_.z += shift.z;
}

void EditorSession::undo() {
    const auto where = history_.undo(level_);
    if (!where) {
        message_ = "Nothing to undo.";
        return;
    }
    place(*where);
    changed();
}

void EditorSession::redo() {
    const auto where = history_.redo(level_);
    if (!where) {
        message_ = "Nothing to redo.";
        return;
    }
    place(*where);
    changed();
}

void EditorSession::place(const EditPlace& where) {
    cursor_ = where.cursor;
    mark_ = where.mark;
    keepCursorInside();
}

void EditorSession::keepCursorInside() {
    const LevelSizes& sizes = level_.sizes();
    const auto inside = [&](CellPlace cell) {
        return CellPlace{std::clamp(cell.x, 0, sizes.x - 1), std::clamp(cell.y, 0, sizes.y - 1),
                         std::clamp(cell.z, 0, sizes.z - 1)};
    };
    cursor_ = inside(cursor_);
    if (mark_) {
        mark_ = inside(*mark_);
    }
}

void EditorSession::changed() {
    ++levelVersion_;
    problems_.reset();
}

void EditorSession::pointerPressed(std::int32_t x, std::int32_t z) {
    message_.clear();
    helpShown_ = false;
    cursor_.x = x;
    cursor_.z = z;
    keepCursorInside();
    stroke_ = {true, false, cursor_.x, cursor_.z, history_.state()};
}

void EditorSession::pointerDragged(std::int32_t x, std::int32_t z) {
    if (!stroke_.down || question_ != EditorQuestion::None) {
        return;
    }
    const LevelSizes& sizes = level_.sizes();
    x = std::clamp(x, 0, sizes.x - 1);
    z = std::clamp(z, 0, sizes.z - 1);
    // The level may have shrunk under the stroke (a key, an undo) since its last cell: the line
    // starts inside it.
    stroke_.x = std::clamp(stroke_.x, 0, sizes.x - 1);
    stroke_.z = std::clamp(stroke_.z, 0, sizes.z - 1);
    if (stroke_.painted && x == stroke_.x && z == stroke_.z) {
        return;
    }
    // The whole stroke is one change to undo; the cell it started on is painted with the first move.
    std::vector<CellPlace> cells = lineOfCells(stroke_.x, stroke_.z, x, z, cursor_.y);
    if (stroke_.painted) {
        cells.erase(cells.begin());
    }
    cursor_.x = x;
    cursor_.z = z;
    const bool extend = stroke_.painted && lastLetter_ != kCellPlayerStart && history_.canUndo() &&
                        history_.state() == stroke_.state;
    const std::uint64_t before = history_.state();
    setCells(cells, lastLetter_, extend);
    if (history_.state() != before) {
        stroke_.painted = true;
        stroke_.state = history_.state();
    }
    stroke_.x = x;
    stroke_.z = z;
}

void EditorSession::pointerReleased() { stroke_.down = false; }

void EditorSession::saved() { savedState_ = history_.state(); }

void EditorSession::saveFailed(const std::string& why) {
    message_ = "Not saved: " + why + ". Every change is kept.";
}

void EditorSession::askToOverwrite(bool thenQuit) {
    question_ = thenQuit ? EditorQuestion::OverwriteAndQuit : EditorQuestion::Overwrite;
}

void EditorSession::askToRestore() { question_ = EditorQuestion::Restore; }

void EditorSession::restore(EditedLevel level) {
    // One change like any other: undo gives back the level the file holds.
    const EditPlace before = here();
    auto replaced = LevelReplaced{std::make_shared<const EditedLevel>(level_),
                                  std::make_shared<const EditedLevel>(std::move(level))};
    level_.replaceWith(*replaced.after);
    mark_.reset();
    const std::vector<CellPlace> starts = level_.firstInFileOrder(kCellPlayerStart, 1);
    cursor_ = starts.empty() ? CellPlace{} : starts.front();
    history_.record(std::move(replaced), before, here());
    changed();
}

void EditorSession::note(std::string message) { message_ = std::move(message); }

const std::vector<LevelFileProblem>& EditorSession::problems() const {
    if (!problems_) {
        problems_ = levelProblems(level_);
    }
    return *problems_;
}

}  // namespace brickstorm::editor
