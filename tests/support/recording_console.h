#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "render/console.h"

namespace brickstorm::testing {

// A console that keeps what it is asked to show. Each clear starts a new page, so a test can
// look at every screen or frame that was shown, one page each.
class RecordingConsole : public Console {
public:
    void clear() override {
        ++clears;
        pages.emplace_back();
    }
    void write(std::string_view text) override {
        ++writes;
        if (pages.empty()) {
            pages.emplace_back();
        }
        pages.back().append(text);
    }

    // Everything written since the last clear.
    const std::string& lastPage() const {
        static const std::string none;
        return pages.empty() ? none : pages.back();
    }

    std::vector<std::string> pages;
    int clears = 0;
    int writes = 0;
};

}  // namespace brickstorm::testing
