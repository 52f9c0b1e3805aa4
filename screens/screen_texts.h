#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "screens/text_screen.h"
#include "world/level_table.h"

namespace brickstorm {

inline constexpr const char* kPressAnyKey = "- Press any key to continue -";

// The title's first lines, its banner: what a small window leaves out first.
inline constexpr std::size_t kTitleBannerLines = 11;

// The title screen: the banner, the credit line and the player's three steps.
ScreenLines titleScreenLines();

// How the level screen names the keys of the player's actions: by default the game's own keys.
struct ControlNames {
    std::string moveAndTurn = "WASD";   // forward, turn left, back, turn right
    std::string strafe = "Arrow keys";  // step left and right
    std::string climb = "Space";
    std::string shoot = "R";

    friend bool operator==(const ControlNames&, const ControlNames&) = default;
};

// The level screen: the level number, the level's name and hint when its file gives them, and the
// controls. The name stands under the number and the hint under the line that every level
// screen gives; both are shown escaped, and cut to fit the screen's width.
ScreenLines levelScreenLines(std::int32_t level, const ControlNames& controls = {},
                             const LevelTitle& title = {});

// The game-over screen with the cause of death.
ScreenLines deathScreenLines(const std::string& deathMessage);

// The closing screen after the exit of the last of `levels` levels, in a game that started at
// level `firstLevel`.
ScreenLines closingScreenLines(std::int32_t levels, std::int32_t firstLevel = 1);

// What a window too small for any screen shows instead: the smallest size the game needs, on as
// many lines as it takes in `columns` columns.
ScreenLines smallWindowLines(std::int32_t columns);

// The same notice for a screen that needs at least `leastColumns` x `leastLines`.
ScreenLines smallWindowLines(std::int32_t columns, std::int32_t leastColumns, std::int32_t leastLines);

}  // namespace brickstorm
