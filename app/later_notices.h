#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace brickstorm::app {

// Lines for standard error that come up while the game has the terminal, kept until the terminal
// is given back: written over the game's picture they would garble it and be gone with the next
// frame. Any thread may add one.
class LaterNotices {
public:
    // Keeps `line` (a whole line), once: the same failure met again is told once.
    void add(const std::string& line);

    // Every line kept, in the order they came.
    std::string text() const;

private:
    mutable std::mutex lock_;
    std::vector<std::string> lines_;
};

}  // namespace brickstorm::app
