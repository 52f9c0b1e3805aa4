#include "render/picture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace brickstorm {

namespace {

// Where a run of `length` cells placed at `at` meets a line of `size` cells: the first cell of
// the run that lands on the line, and how many do. Wide arithmetic, so that no position, however
// far outside, overflows.
struct Overlap {
    std::size_t from = 0;   // in the run
    std::size_t to = 0;     // in the line
    std::size_t count = 0;  // none when the run misses the line
};

Overlap overlap(std::int64_t at, std::size_t length, std::size_t size) {
    const std::int64_t first = std::max<std::int64_t>(at, 0);
    const std::int64_t last =
        std::min(at + static_cast<std::int64_t>(length), static_cast<std::int64_t>(size));
    if (last <= first) {
        return {};
    }
    return {static_cast<std::size_t>(first - at), static_cast<std::size_t>(first),
            static_cast<std::size_t>(last - first)};
}

}  // namespace

Picture blankPicture(int columns, int lines) {
    Picture picture;
    picture.lines.assign(static_cast<std::size_t>(std::max(lines, 0)),
                         CellLine(static_cast<std::size_t>(std::max(columns, 0))));
    return picture;
}

void placePicture(Picture& into, const Picture& part, int column, int line) {
    const Overlap rows = overlap(line, part.lines.size(), into.lines.size());
    for (std::size_t r = 0; r < rows.count; ++r) {
        const CellLine& source = part.lines[rows.from + r];
        CellLine& target = into.lines[rows.to + r];
        const Overlap cells = overlap(column, source.size(), target.size());
        const auto start = source.begin() + static_cast<std::ptrdiff_t>(cells.from);
        std::copy(start, start + static_cast<std::ptrdiff_t>(cells.count),
                  target.begin() + static_cast<std::ptrdiff_t>(cells.to));
    }
}

void placeText(Picture& into, std::string_view text, int column, int line, CellColour colour) {
    if (line < 0 || static_cast<std::size_t>(line) >= into.lines.size()) {
        return;
    }
    CellLine& target = into.lines[static_cast<std::size_t>(line)];
    const Overlap cells = overlap(column, text.size(), target.size());
    for (std::size_t i = 0; i < cells.count; ++i) {
        const auto character = static_cast<unsigned char>(text[cells.from + i]);
        target[cells.to + i] = Cell{character, character == ' ' ? kNoColour : colour};
    }
}

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

std::string pictureText(const Picture& picture) {
    std::string text;
    for (const CellLine& line : picture.lines) {
        text.reserve(text.size() + line.size() + 1);
        if (&line != &picture.lines.front()) {
            text += '\n';
        }
        for (const Cell& cell : line) {
            text += static_cast<char>(cell.character);
        }
    }
    return text;
}

bool sameLayout(const Picture& a, const Picture& b) {
    return std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(),
                      [](const CellLine& x, const CellLine& y) { return x.size() == y.size(); });
}

}  // namespace brickstorm
