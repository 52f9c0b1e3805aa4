#include "screens/text_screen.h"

#include <algorithm>
#include <cstddef>

#include "render/frame_buffer.h"

namespace brickstorm {

namespace {

constexpr std::size_t kColumns = kFrameColumns;
constexpr std::size_t kLines = kFrameRows;

// A count of cells that cannot be negative.
std::size_t cellCount(std::int32_t count) { return static_cast<std::size_t>(std::max(count, 0)); }

std::size_t widestLine(const ScreenLines& lines, std::size_t count) {
    std::size_t widest = 0;
    for (std::size_t i = 0; i < count && i < lines.size(); ++i) {
        widest = std::max(widest, lines[i].size());
    }
    return widest;
}

// Each run of blank lines made one blank line.
ScreenLines withBlankRunsShrunk(const ScreenLines& lines) {
    ScreenLines shrunk;
    for (const std::string& line : lines) {
        if (!line.empty() || shrunk.empty() || !shrunk.back().empty()) {
            shrunk.push_back(line);
        }
    }
    return shrunk;
}

// The lines without the first `bannerLines` and the blank lines that set them apart.
ScreenLines withoutBanner(const ScreenLines& lines, std::size_t bannerLines) {
    auto first = lines.begin() + static_cast<std::ptrdiff_t>(std::min(bannerLines, lines.size()));
    first = std::find_if(first, lines.end(), [](const std::string& line) { return !line.empty(); });
    return {first, lines.end()};
}

// The count of banner lines among what is left of the screen after shrinking: blank runs inside
// a banner are shrunk with the rest.
std::size_t bannerLinesAfterShrinking(const ScreenLines& lines, std::size_t bannerLines) {
    return withBlankRunsShrunk(ScreenLines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                              bannerLines, lines.size()))))
        .size();
}

}  // namespace

void printCentredLine(std::string& screen, std::string_view text, std::size_t columns) {
    text = text.substr(0, columns);
    const std::size_t spare = columns - text.size();
    screen.append(spare / 2, ' ');
    screen.append(text);
    screen.append(spare - spare / 2, ' ');
    screen += kScreenEdge;
    screen += '\n';
}

void printCentredLine(std::string& screen, std::string_view text) { printCentredLine(screen, text, kColumns); }

void printBlankLine(std::string& screen) { printCentredLine(screen, {}); }

Picture centredLinesPicture(const ScreenLines& lines, std::int32_t columns, std::int32_t rows) {
    const std::size_t width = cellCount(columns);
    const std::size_t height = cellCount(rows);
    const std::size_t content = std::min(lines.size(), height);
    const std::size_t above = (height - content) / 2;
    Picture picture = blankPicture(columns, rows);
    for (std::size_t i = 0; i < content; ++i) {
        const std::string_view text = std::string_view(lines[i]).substr(0, width);
        placeText(picture, text, static_cast<int>((width - text.size()) / 2), static_cast<int>(above + i));
    }
    return picture;
}

Picture textScreenPicture(const ScreenLines& lines, std::int32_t columns, std::int32_t rows) {
    const std::int32_t width = std::max(columns, 0);
    Picture picture = blankPicture(width + 1, rows);
    placePicture(picture, centredLinesPicture(lines, width, rows), 0, 0);
    for (CellLine& line : picture.lines) {
        line.back().character = static_cast<unsigned char>(kScreenEdge);
    }
    return picture;
}

Picture textScreenPicture(const ScreenLines& lines) {
    return textScreenPicture(lines, static_cast<std::int32_t>(kColumns), static_cast<std::int32_t>(kLines));
}

std::string composeTextScreen(const ScreenLines& lines) { return pictureText(textScreenPicture(lines)); }

// Every line break but the last: a text screen fills the window exactly, and a break after its
// last line would scroll the top line away.
std::string composeTextScreen(const ScreenLines& lines, std::int32_t columns, std::int32_t rows) {
    return pictureText(textScreenPicture(lines, columns, rows));
}

ScreenLines fitScreenLines(ScreenLines lines, std::size_t bannerLines, std::int32_t columns,
                           std::int32_t rows) {
    const std::size_t width = cellCount(columns);
    const std::size_t height = cellCount(rows);
    // A banner cut at the sides would no longer read as one: it goes whole or not at all.
    if (bannerLines > 0 && widestLine(lines, bannerLines) > width) {
        lines = withoutBanner(lines, bannerLines);
        bannerLines = 0;
    }
    if (lines.size() > height) {
        bannerLines = bannerLinesAfterShrinking(lines, bannerLines);
        lines = withBlankRunsShrunk(lines);
    }
    if (lines.size() > height && bannerLines > 0) {
        lines = withoutBanner(lines, bannerLines);
    }
    return lines;
}

ScreenLines wrapWords(std::string_view text, std::int32_t columns) {
    const std::size_t width = std::max<std::size_t>(cellCount(columns), 1);
    ScreenLines lines;
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, std::min(end - start, width));
        start = end + 1;
        if (word.empty()) {
            continue;
        }
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ");
        line += word;
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace brickstorm
