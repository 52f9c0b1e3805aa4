#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace brickstorm::testing {

// The lines of a screen's text, without their line breaks.
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace brickstorm::testing
