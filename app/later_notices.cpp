#include "app/later_notices.h"

#include <algorithm>

namespace brickstorm::app {

void LaterNotices::add(const std::string& line) {
    const std::lock_guard lock(lock_);
    if (std::find(lines_.begin(), lines_.end(), line) == lines_.end()) {
        lines_.push_back(line);
    }
}

std::string LaterNotices::text() const {
    const std::lock_guard lock(lock_);
    std::string all;
    for (const std::string& line : lines_) {
        all += line;
    }
    return all;
}

}  // namespace brickstorm::app
