#pragma once

#include "render/console.h"

namespace brickstorm::testing {

// A console that shows nothing, for runs that only care about the game state or the time it
// takes to make a picture.
class NullConsole : public Console {
private:
    void present(const Picture&, PictureChange) override {}
};

}  // namespace brickstorm::testing
