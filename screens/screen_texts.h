#pragma once

#include <cstdint>
#include <string>

#include "screens/text_screen.h"

namespace brickstorm {

inline constexpr const char* kPressAnyKey = "- Press any key to continue -";

// The title screen: the banner, the credit line and the player's three steps.
ScreenLines titleScreenLines();

// The level screen: the level number and the controls.
ScreenLines levelScreenLines(std::int32_t level);

// The game-over screen with the cause of death.
ScreenLines deathScreenLines(const std::string& deathMessage);

// The closing screen after the exit of the last of `levels` levels.
ScreenLines closingScreenLines(std::int32_t levels);

}  // namespace brickstorm
