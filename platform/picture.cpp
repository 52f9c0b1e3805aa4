#include "platform/picture.h"

#include <algorithm>

namespace brickstorm::platform {

Picture pictureFromText(std::string_view text) {
    Picture picture;
    picture.lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    while (true) {
        const auto end = text.find('\n');
        const auto line = text.substr(0, end);
        CellLine& cells = picture.lines.emplace_back(line.size());
        std::transform(line.begin(), line.end(), cells.begin(),
                       [](char c) { return Cell{static_cast<unsigned char>(c)}; });
        if (end == std::string_view::npos) {
            return picture;
        }
        text.remove_prefix(end + 1);
    }
}

bool sameLayout(const Picture& a, const Picture& b) {
    return std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(),
                      [](const CellLine& x, const CellLine& y) { return x.size() == y.size(); });
}

}  // namespace brickstorm::platform
