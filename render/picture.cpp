#include "render/picture.h"

#include <algorithm>
#include <cstddef>

namespace brickstorm {

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

Picture pictureFromText(std::string_view text, const FrameColours& colours) {
    Picture picture = pictureFromText(text);
    const std::size_t lines = std::min(picture.lines.size(), colours.size());
    for (std::size_t l = 0; l < lines; ++l) {
        CellLine& cells = picture.lines[l];
        const auto& lineColours = colours[l];
        const std::size_t count = std::min(cells.size(), lineColours.size());
        for (std::size_t c = 0; c < count; ++c) {
            if (cells[c].character != ' ') {
                cells[c].colour = lineColours[c];
            }
        }
    }
    return picture;
}

bool sameLayout(const Picture& a, const Picture& b) {
    return std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(),
                      [](const CellLine& x, const CellLine& y) { return x.size() == y.size(); });
}

}  // namespace brickstorm
