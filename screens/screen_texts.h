#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "screens/text_screen.h"

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

// The level screen: the level number and the controls.
ScreenLines levelScreenLines(std::int32_t level, const ControlNames& controls = {});

// The game-over screen with the cause of death.
ScreenLines deathScreenLines(const std::string& deathMessage);

// The closing screen after the exit of the last of `levels` levels, in a game that started at
// level `firstLevel`.
ScreenLines closingScreenLines(std::int32_t levels, std::int32_t firstLevel = 1);

// What a window too small for any screen shows instead: the smallest size the game needs, on as
// many lines as it takes in `columns` columns.
ScreenLines smallWindowLines(std::int32_t columns);

}  // namespace brickstorm
