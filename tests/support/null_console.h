#pragma once

#include <string_view>

#include "render/console.h"

namespace brickstorm::testing {

// A console that shows nothing, for runs that only care about the game state or the time it
// takes to make a picture.
class NullConsole : public Console {
public:
    void clear() override {}
    void write(std::string_view) override {}
};

}  // namespace brickstorm::testing
