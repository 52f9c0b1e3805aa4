#pragma once

#include <cctype>
#include <string_view>

namespace brickstorm::testing {

// Whether `output` holds a Select Graphic Rendition sequence (a colour, or the reset):
// "\x1b[", digits and ';', then 'm'.
inline bool sendsAnySgr(std::string_view output) {
    for (auto at = output.find("\x1b["); at != std::string_view::npos; at = output.find("\x1b[", at + 1)) {
        auto end = at + 2;
        while (end < output.size() &&
               (std::isdigit(static_cast<unsigned char>(output[end])) != 0 || output[end] == ';')) {
            ++end;
        }
        if (end < output.size() && output[end] == 'm') {
            return true;
        }
    }
    return false;
}

}  // namespace brickstorm::testing
