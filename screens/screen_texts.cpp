#include "screens/screen_texts.h"

#include "screens/picture_layout.h"
#include "world/display_text.h"

namespace brickstorm {

ScreenLines titleScreenLines() {
    // The banner: "BRICK" laid in bricks, "STORM" in rain. Every line keeps its own width,
    // blanks included, because it is centred by that width; the shorter fifth line of STORM is
    // trimmed evenly on both sides so that it still lines up with the others.
    return {
        "       [][][][]    [][][][]    [][][]    [][][]  []      []       ",
        "       []      []  []      []    []    []        []    []         ",
        "       [][][][]    [][][][]      []    []        [][][]           ",
        "       []      []  []    []      []    []        []    []         ",
        "       [][][][]    []      []  [][][]    [][][]  []      []       ",
        "        ////////  //////////    //////    ////////    //      //       ",
        "      //              //      //      //  //      //  ////  ////       ",
        "        //////        //      //      //  //      //  //  //  //       ",
        "              //      //      //      //  ////////    //      //       ",
        "           //      //      //      //  //    //    //      //    ",
        "      ////////        //        //////    //      //  //      //       ",
        "",
        "A Quarry Lantern game",
        "",
        "",
        "",
        "",
        "",
        "1.Adjust your console",
        "2.Set the font size to 8x8",
        "3.Don't shit your pants",
        "",
        "",
        "",
        "",
        "",
        kPressAnyKey,
    };
}

namespace {

// The widest a name or hint is shown: what an 80-column window leaves beside its edge.
constexpr std::size_t kTitleLineWidth = 79;

// A line of a level's title as the level screen shows it: escaped, since it comes from a file,
// and cut where it would run past the screen.
std::string shownTitleLine(const std::string& text) {
    std::string shown = escapedForDisplay(text);
    if (shown.size() > kTitleLineWidth) {
        shown.resize(kTitleLineWidth - 3);
        shown += "...";
    }
    return shown;
}

}  // namespace

ScreenLines levelScreenLines(std::int32_t level, const ControlNames& controls, const LevelTitle& title) {
    return {
        "LEVEL " + std::to_string(level),
        shownTitleLine(title.name),
        "Kill enemies. Find the exit.",
        shownTitleLine(title.hint),
        "",
        "",
        controls.moveAndTurn + " - Movement & turning",
        controls.strafe + " - Strifing",
        controls.climb + " - Wall climbing",
        controls.shoot + " - Shooting",
        "",
        "",
        "",
        kPressAnyKey,
    };
}

ScreenLines deathScreenLines(const std::string& deathMessage) {
    return {
        "GAME OVER", "",         deathMessage, "", "", "", "\"Quote",
        "quote",     "quote.\"", "Author",     "", "", "", kPressAnyKey,
    };
}

namespace {

// What the closing screen says was cleared: the whole set, or the part of it that a game
// started further on has cleared.
std::string clearedText(std::int32_t levels, std::int32_t firstLevel) {
    if (firstLevel <= 1) {
        return levels == 1 ? "The level is cleared."
                           : "All " + std::to_string(levels) + " levels are cleared.";
    }
    if (firstLevel >= levels) {
        return "Level " + std::to_string(levels) + " is cleared.";
    }
    return "Levels " + std::to_string(firstLevel) + " to " + std::to_string(levels) + " are cleared.";
}

}  // namespace

ScreenLines closingScreenLines(std::int32_t levels, std::int32_t firstLevel) {
    const std::string cleared = clearedText(levels, firstLevel);
    return {
        "THE END",
        "",
        "You found the last exit.",
        "",
        "",
        "",
        cleared,
        "",
        "Now try them again,",
        "or make a level of your own.",
        "",
        "",
        "",
        kPressAnyKey,
    };
}

ScreenLines smallWindowLines(std::int32_t columns) {
    return smallWindowLines(columns, kSmallestWindowColumns, kSmallestWindowLines);
}

ScreenLines smallWindowLines(std::int32_t columns, std::int32_t leastColumns, std::int32_t leastLines) {
    // The size is kept on one line where it fits: "40 x" and "15" on two would not read as one.
    const std::string size = std::to_string(leastColumns) + " x " + std::to_string(leastLines);
    ScreenLines lines = wrapWords("Please make the window at least", columns);
    if (!lines.empty() && lines.back().size() + 1 + size.size() <= static_cast<std::size_t>(columns)) {
        lines.back() += " " + size;
    } else {
        const ScreenLines sizeLines = wrapWords(size, columns);
        lines.insert(lines.end(), sizeLines.begin(), sizeLines.end());
    }
    return lines;
}

}  // namespace brickstorm
