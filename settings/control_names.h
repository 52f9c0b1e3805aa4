#pragma once

#include "screens/screen_texts.h"
#include "settings/key_bindings.h"

namespace brickstorm::settings {

// How the level screen names the keys that `bindings` gives the actions. The game's own keys
// give the screen's own names ("WASD", "Arrow keys", "Space", "R"); other keys are named as they
// must be typed ("zqsd", "f", "Shift+F").
ControlNames controlNames(const KeyBindings& bindings);

}  // namespace brickstorm::settings
