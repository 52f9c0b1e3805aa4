#include "editor/editor_screen.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "screens/screen_texts.h"
#include "screens/text_screen.h"
#include "world/display_text.h"
#include "world/level.h"

namespace brickstorm::editor {

namespace {

// Lines below the body: a rule, the status line, two lines of notices and two of help.
constexpr std::int32_t kLinesBelowBody = 6;
constexpr std::int32_t kNoticeLines = 2;
// The map is never narrower than its heading needs.
constexpr std::int32_t kLeastMapColumns = 34;
// A name longer than this shows its end, where the file's own name is.
constexpr std::size_t kLongestShownName = 20;
constexpr std::string_view kCut = "...";

const char* letterName(char letter) {
    switch (letter) {
    case kCellBlock: return "block";
    case kCellExit: return "exit";
    case kCellPlayerStart: return "start";
    case kCellEnemyStart: return "enemy";
    default: return "empty";
    }
}

const char* facingName(std::int32_t facing) {
    static const char* const kNames[] = {"far", "right", "near", "left"};
    return kNames[facing & 3];
}

// The name, escaped, whole if it takes no more than `room` columns (or kLongestShownName), else
// its end in that many.
std::string shownName(const std::string& name, std::size_t room = 0) {
    std::string escaped = escapedForDisplay(name);
    const std::size_t longest = std::max(room, kLongestShownName);
    if (escaped.size() <= longest) {
        return escaped;
    }
    // Cut where a character starts, so that no broken UTF-8 reaches the screen.
    std::size_t from = escaped.size() - (longest - kCut.size());
    while (from < escaped.size() && (static_cast<unsigned char>(escaped[from]) & 0xc0U) == 0x80U) {
        ++from;
    }
    return std::string(kCut) + escaped.substr(from);
}

std::string sizesText(std::int32_t x, std::int32_t y, std::int32_t z) {
    return std::to_string(x) + "x" + std::to_string(y) + "x" + std::to_string(z);
}

std::string questionText(const EditorSession& editor, const ScreenFacts& facts) {
    const std::string name = shownName(facts.fileName);
    switch (editor.question()) {
    case EditorQuestion::Quit:
        return "Save the changes to " + name +
               " before quitting? y saves and quits, n quits without saving, any other key goes back.";
    case EditorQuestion::Overwrite:
    case EditorQuestion::OverwriteAndQuit:
        if (!facts.fileExists) {
            // A new name (a new level, or one saved as): the file is someone else's.
            return name + " exists already. Overwrite it? y overwrites it, any other key leaves it as it is.";
        }
        return name + " has changed on disk since it was read. Overwrite it? y overwrites it, any other key " +
               "leaves it as it is.";
    case EditorQuestion::SaveAs:
        return "Save as: " + escapedForDisplay(editor.typedName()) + "_  (Enter saves, Escape goes back)";
    case EditorQuestion::Restore:
        return "A recovery copy of " + name +
               " holds changes that were never saved. Restore them? y restores them, n discards them.";
    case EditorQuestion::None: break;
    }
    return {};
}

std::string sideChoiceText(SideChoice choice) {
    const std::string verb = choice == SideChoice::Grow ? "Grow" : "Shrink";
    return verb +
           " the level on which side? An arrow (up is the far side), Page Up or + (the top), Page Down " +
           "or - (the bottom); any other key does nothing.";
}

std::string problemsText(const std::vector<LevelFileProblem>& problems) {
    std::string text = "Not ready to play: ";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        text += (i > 0 ? "; " : "") + problems[i].what;
    }
    return text + ".";
}

// A block or an enemy fills its cell: a view from inside it would show one face of it.
bool fillsItsCell(char letter) { return letter == kCellBlock || letter == kCellEnemyStart; }

// How many cells behind the cursor, against the view's facing, the view from the cursor stands:
// at the nearest cell that a block or an enemy does not fill (outside the level, at the latest).
CellPlace stepBehind(std::int32_t facing) {
    static constexpr CellPlace kBehind[] = {{0, 0, -1}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}};
    return kBehind[facing & 3];
}

std::int32_t stepsBack(const EditorSession& editor) {
    const CellPlace step = stepBehind(editor.view().facing);
    CellPlace cell = editor.cursor();
    std::int32_t steps = 0;
    while (editor.level().contains(cell) && fillsItsCell(editor.level().letterAt(cell))) {
        cell = {cell.x + step.x, cell.y, cell.z + step.z};
        ++steps;
    }
    return steps;
}

ViewCamera cameraOf(const EditorSession& editor) {
    constexpr double kQuarterTurn = 90.0;
    if (!editor.view().fromStart) {
        const std::int32_t back = stepsBack(editor);
        const CellPlace step = stepBehind(editor.view().facing);
        const CellPlace eye{editor.cursor().x + back * step.x, editor.cursor().y,
                            editor.cursor().z + back * step.z};
        return {{static_cast<double>(eye.x), static_cast<double>(eye.y), static_cast<double>(eye.z)},
                kQuarterTurn * editor.view().facing};
    }
    // Where the game puts the player: the last start in the file's order, or the origin.
    const std::vector<CellPlace> starts = editor.level().firstInFileOrder(
        kCellPlayerStart, static_cast<std::size_t>(editor.level().playerStarts()));
    const CellPlace start = starts.empty() ? CellPlace{} : starts.back();
    return {{static_cast<double>(start.x), static_cast<double>(start.y), static_cast<double>(start.z)}, 0.0};
}

std::string viewHeading(const EditorSession& editor) {
    if (editor.view().fromStart) {
        return "3D view from the start, as the game shows it";
    }
    std::string heading = std::string("3D view from the cursor, looking ") + facingName(editor.view().facing);
    if (const std::int32_t back = stepsBack(editor); back > 0) {
        heading += ", " + std::to_string(back) + (back == 1 ? " cell" : " cells") + " back";
    }
    return heading;
}

// The list of every key in a framed window in the middle of the picture, over what is there.
void placeKeyList(Picture& picture, std::int32_t columns, std::int32_t lines) {
    std::size_t widest = 0;
    for (const char* line : kEditorKeyList) {
        widest = std::max(widest, std::string_view(line).size());
    }
    const auto width = static_cast<std::int32_t>(widest) + 4;  // a frame and a blank on each side
    const auto height = static_cast<std::int32_t>(std::size(kEditorKeyList)) + 2;
    const std::int32_t left = std::max(0, (columns - width) / 2);
    std::int32_t line = std::max(0, (lines - height) / 2);
    const std::string rule = "+" + std::string(widest + 2, '-') + "+";
    placeText(picture, rule, left, line++);
    for (const char* text : kEditorKeyList) {
        std::string row = "| " + std::string(text);
        row.resize(widest + 2, ' ');
        placeText(picture, row + " |", left, line++);
    }
    placeText(picture, rule, left, line);
}

}  // namespace

EditorLayout editorLayout(std::int32_t columns, std::int32_t lines, const LevelSizes& sizes) {
    EditorLayout layout;
    layout.columns = columns;
    layout.lines = lines;
    // The game keeps its window's last column free; the least window counts it.
    layout.tooSmall = columns + 1 < kEditorLeastColumns || lines < kEditorLeastLines;
    if (layout.tooSmall) {
        return layout;
    }
    layout.bodyLines = lines - kLinesBelowBody;
    const std::int32_t half = (columns - 1) / 2;
    layout.mapColumns = std::clamp(sizes.x * kMapCellColumns, std::min(kLeastMapColumns, half), half);
    layout.viewColumn = layout.mapColumns + 1;
    layout.statusLine = layout.bodyLines + 1;
    return layout;
}

std::string statusText(const EditorSession& editor, const ScreenFacts& facts, std::int32_t columns) {
    const CellPlace cursor = editor.cursor();
    const LevelSizes& sizes = editor.level().sizes();
    std::string text = "  " + sizesText(sizes.x, sizes.y, sizes.z) + "  cursor " + std::to_string(cursor.x) +
                       "," + std::to_string(cursor.y) + "," + std::to_string(cursor.z) + " " +
                       letterName(editor.level().letterAt(cursor));
    if (const auto box = editor.markedBox()) {
        text += "  box " + sizesText(box->high.x - box->low.x + 1, box->high.y - box->low.y + 1,
                                     box->high.z - box->low.z + 1);
    }
    if (editor.unsaved()) {
        text += "  unsaved changes";
    } else if (!facts.fileExists) {
        text += "  new file";
    }
    const auto width = static_cast<std::size_t>(std::max(columns, 0));
    return shownName(facts.fileName, width > text.size() ? width - text.size() : 0) + text;
}

std::string noticeText(const EditorSession& editor, const ScreenFacts& facts) {
    if (editor.question() != EditorQuestion::None) {
        return questionText(editor, facts);
    }
    if (editor.sideChoice() != SideChoice::None) {
        return sideChoiceText(editor.sideChoice());
    }
    if (!editor.message().empty()) {
        return editor.message();
    }
    if (!editor.problems().empty()) {
        return problemsText(editor.problems());
    }
    return "Ready to play: t play-tests it here, Ctrl+S saves it.";
}

Picture EditorScreen::compose(EditorSession& editor, const ScreenFacts& facts, std::int32_t columns,
                              std::int32_t lines) {
    const EditorLayout layout = editorLayout(columns, lines, editor.level().sizes());
    layout_ = layout;
    sizes_ = editor.level().sizes();
    view_.follow(editor.levelForView());
    if (layout.tooSmall) {
        return pictureFromText(composeTextScreen(
            smallWindowLines(columns, kEditorLeastColumns, kEditorLeastLines), columns, lines));
    }
    Picture picture = blankPicture(columns, lines);
    const std::int32_t mapLines = layout.bodyLines;
    keepInView(scroll_, editor.cursor(), sizes_, layout.mapColumns, mapLines);
    placePicture(picture, mapPicture(editor, layout.mapColumns, mapLines, scroll_, facts.colour), 0, 0);

    const std::int32_t viewColumns = columns - layout.viewColumn;
    placeText(picture, viewHeading(editor), layout.viewColumn, 0);
    placePicture(picture,
                 view_.draw(editor.level(), cameraOf(editor), viewColumns, layout.bodyLines - 1,
                            facts.cellAspect, facts.colour),
                 layout.viewColumn, 1);
    for (std::int32_t line = 0; line < layout.bodyLines; ++line) {
        placeText(picture, "|", layout.mapColumns, line);
    }
    placeText(picture, std::string(static_cast<std::size_t>(columns), '-'), 0, layout.bodyLines);

    placeText(picture, statusText(editor, facts, columns), 0, layout.statusLine);
    const ScreenLines notice = wrapWords(noticeText(editor, facts), columns);
    for (std::size_t i = 0; i < notice.size() && i < static_cast<std::size_t>(kNoticeLines); ++i) {
        placeText(picture, notice[i], 0, layout.statusLine + 1 + static_cast<std::int32_t>(i));
    }
    std::int32_t helpLine = layout.statusLine + 1 + kNoticeLines;
    for (const char* help : kEditorHelpLines) {
        placeText(picture, help, 0, helpLine++);
    }
    if (editor.helpShown()) {
        placeKeyList(picture, columns, lines);
    }
    return picture;
}

std::optional<MapCell> EditorScreen::mapCellAt(std::int32_t column, std::int32_t line) const {
    if (!layout_ || layout_->tooSmall) {
        return std::nullopt;
    }
    return editor::mapCellAt(sizes_, layout_->mapColumns, layout_->bodyLines, scroll_, column, line);
}

}  // namespace brickstorm::editor
