#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "render/colour.h"
#include "render/frame_buffer.h"
#include "render/frame_picture.h"
#include "render/level_geometry.h"
#include "render/palette.h"
#include "render/projection.h"
#include "render/scene.h"
#include "sim/entity.h"
#include "support/recording_console.h"
#include "world/level.h"
#include "world/level_table.h"

namespace brickstorm {
namespace {

constexpr std::array kAllDepths{ColourDepth::Basic16, ColourDepth::Basic16Faint, ColourDepth::Palette256,
                                ColourDepth::Direct24};
constexpr Vec3 kStartCamera{8, 1, 0};

// The foreground colour of each cell of a frame, line by line.
using FrameColours = std::vector<std::vector<CellColour>>;

FrameColours coloursOf(const Picture& picture) {
    FrameColours colours;
    for (const CellLine& line : picture.lines) {
        auto& lineColours = colours.emplace_back();
        for (const Cell& cell : line) {
            lineColours.push_back(cell.colour);
        }
    }
    return colours;
}

// A console that asks for colour.
class ColourRecordingConsole : public testing::RecordingConsole {
public:
    explicit ColourRecordingConsole(ColourDepth depth) : depth_(depth) {}
    std::optional<ColourDepth> colourDepth() const override { return depth_; }

private:
    ColourDepth depth_;
};

FaceList startLevelFaces() { return buildLevelFaces(Level(levelTable()[0])); }

// The start level with an enemy placed in view, a few cells ahead of the start.
FaceList startLevelWithEnemy() {
    EnemyEntity enemy{Level()};
    enemy.displayPosition = Vec3{8, 1.4, 4};
    return appendFaces(startLevelFaces(), enemy.buildModel());
}

std::string monochromeFrame(const FaceList& faces, Vec3 camera, double yaw) {
    FrameBuffer frame;
    testing::RecordingConsole console;
    frame.drawQuads(renderView(ViewSettings{}, faces, camera, yaw), console);
    return console.lastPage();
}

struct ColouredFrame {
    std::string text;
    FrameColours colours;
};

ColouredFrame colouredFrame(const FaceList& faces, Vec3 camera, double yaw, ColourDepth depth) {
    FrameBuffer frame;
    ColourRecordingConsole console(depth);
    frame.drawQuads(renderView(ViewSettings{}, faces, camera, yaw), console);
    return {console.lastPage(), coloursOf(console.lastPicture)};
}

// The lines of a frame's text.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return lines;
        }
        start = end + 1;
    }
}

TEST(FrameColoursTest, ColourLeavesEveryCharacterAsItIsAndColoursExactlyTheFilledCells) {
    const FaceList withEnemy = startLevelWithEnemy();
    for (const double yaw : {0.0, 45.0, 90.0, 270.0}) {
        const std::string monochrome = monochromeFrame(withEnemy, kStartCamera, yaw);
        for (const ColourDepth depth : kAllDepths) {
            SCOPED_TRACE(::testing::Message() << "yaw " << yaw << ", depth " << static_cast<int>(depth));
            const ColouredFrame coloured = colouredFrame(withEnemy, kStartCamera, yaw, depth);
            EXPECT_EQ(coloured.text, monochrome);
            const std::vector<std::string> lines = linesOf(coloured.text);
            ASSERT_EQ(coloured.colours.size(), lines.size());
            for (std::size_t r = 0; r < lines.size(); ++r) {
                ASSERT_EQ(coloured.colours[r].size(), lines[r].size());
                for (std::size_t c = 0; c < lines[r].size(); ++c) {
                    const bool drawn = lines[r][c] != ' ' && c + 1 != lines[r].size();
                    EXPECT_EQ(coloured.colours[r][c] != kNoColour, drawn) << "row " << r << ", column " << c;
                }
            }
        }
    }
}

TEST(FrameColoursTest, AMonochromeConsoleGetsNoColours) {
    FrameBuffer frame;
    testing::RecordingConsole console;
    EXPECT_EQ(console.colourDepth(), std::nullopt);
    frame.drawQuads(renderView(ViewSettings{}, startLevelFaces(), kStartCamera, 0.0), console);
    ASSERT_EQ(console.pages.size(), 1U);
    for (const auto& line : coloursOf(console.lastPicture)) {
        EXPECT_TRUE(
            std::all_of(line.begin(), line.end(), [](CellColour colour) { return colour == kNoColour; }));
    }
}

// A wall two cells to the right, running straight ahead past the draw distance: along a row
// from the right edge toward the middle, every cell shows the wall further away.
TEST(FrameColoursTest, FogNeverBrightensWithDepthAlongALongWall) {
    constexpr std::int32_t kLength = 40;
    LevelCells cells(1, LevelLayer(kLength, LevelRow(3, kCellEmpty)));
    for (auto& row : cells[0]) {
        row[2] = kCellBlock;
    }
    const FaceList wall = buildLevelFaces(Level(3, 1, kLength, cells, Vec3{}, {}));
    constexpr std::size_t kRow = 31;  // just below the horizon: the wall's side up to the draw distance
    for (const ColourDepth depth : kAllDepths) {
        SCOPED_TRACE(::testing::Message() << "depth " << static_cast<int>(depth));
        const ColouredFrame frame = colouredFrame(wall, Vec3{0, 0, 0}, 0.0, depth);
        const std::vector<CellColour>& row = frame.colours[kRow];
        std::vector<double> brightness;
        for (std::size_t c = kFrameColumns; c-- > 0;) {
            if (row[c] != kNoColour) {
                brightness.push_back(luminance(row[c]));
            }
        }
        ASSERT_GT(brightness.size(), 20U);
        for (std::size_t i = 1; i < brightness.size(); ++i) {
            EXPECT_LE(brightness[i], brightness[i - 1]) << "cell " << i << " from the right edge";
        }
        EXPECT_LT(brightness.back(), brightness.front());  // the fog shows
    }
}

TEST(PaletteTest, FogStepsRunFromTheCameraToTheDrawDistance) {
    EXPECT_EQ(fogStep(-1.0), 0);
    EXPECT_EQ(fogStep(0.0), 0);
    EXPECT_EQ(fogStep(kDrawDistance / kFogSteps - 0.01), 0);
    EXPECT_EQ(fogStep(kDrawDistance / kFogSteps + 0.01), 1);
    EXPECT_EQ(fogStep(kDrawDistance - 0.01), kFogSteps - 1);
    EXPECT_EQ(fogStep(kDrawDistance * 2), kFogSteps - 1);
    EXPECT_DOUBLE_EQ(fogBrightness(0), 1.0);
    for (std::int32_t step = 1; step < kFogSteps; ++step) {
        EXPECT_LT(fogBrightness(step), fogBrightness(step - 1));
    }
    EXPECT_GT(fogBrightness(kFogSteps - 1), 0.3);  // still seen at the draw distance
}

TEST(PaletteTest, TwoHundredFiftySixColoursStepEveryTwoCells) {
    EXPECT_EQ(fogStepCount(ColourDepth::Palette256), kPaletteFogSteps);
    EXPECT_EQ(fogStepCount(ColourDepth::Direct24), kFogSteps);
    EXPECT_EQ(fogStep(1.99, kPaletteFogSteps), 0);
    EXPECT_EQ(fogStep(2.01, kPaletteFogSteps), 1);
    EXPECT_EQ(fogStep(kDrawDistance * 2, kPaletteFogSteps), kPaletteFogSteps - 1);
}

// No colour belongs to two kinds, whatever their distances: the exit and the enemies never take
// a block's colour, and no two kinds of block are taken for one another.
TEST(PaletteTest, NoTwoKindsShareAColourAtAnyDistance) {
    for (const ColourDepth depth : kAllDepths) {
        for (std::int32_t a = 0; a < fogStepCount(depth); ++a) {
            for (std::int32_t b = 0; b < fogStepCount(depth); ++b) {
                for (std::size_t k = 0; k < kFaceKindCount; ++k) {
                    for (std::size_t l = k + 1; l < kFaceKindCount; ++l) {
                        EXPECT_NE(stepColour(static_cast<FaceKind>(k), a, depth),
                                  stepColour(static_cast<FaceKind>(l), b, depth))
                            << static_cast<int>(depth) << ": kinds " << k << " and " << l << ", steps " << a
                            << " and " << b;
                    }
                }
            }
        }
    }
}

// Each fog step is no brighter than the one before, and the fog shows: at 256 colours and in
// 24-bit colour a face 2 cells away and one 12 cells away differ; at 16 colours the far half
// differs from the near one, faint text darker still.
TEST(PaletteTest, FogOnlyEverDarkensAndShowsWithinTheFirstHalf) {
    for (const ColourDepth depth : kAllDepths) {
        for (std::size_t k = 0; k < kFaceKindCount; ++k) {
            SCOPED_TRACE(::testing::Message() << "depth " << static_cast<int>(depth) << ", kind " << k);
            const auto kind = static_cast<FaceKind>(k);
            const std::int32_t steps = fogStepCount(depth);
            for (std::int32_t step = 1; step < steps; ++step) {
                const CellColour nearer = stepColour(kind, step - 1, depth);
                const CellColour farther = stepColour(kind, step, depth);
                EXPECT_TRUE(farther == nearer || luminance(farther) < luminance(nearer)) << "step " << step;
            }
            EXPECT_NE(stepColour(kind, 0, depth), stepColour(kind, steps - 1, depth));
            const bool fewColours = depth == ColourDepth::Basic16 || depth == ColourDepth::Basic16Faint;
            if (!fewColours) {
                EXPECT_NE(faceColour(kind, 2.0, depth), faceColour(kind, 12.0, depth));
            }
        }
    }
    for (std::size_t k = 0; k < kFaceKindCount; ++k) {
        const auto kind = static_cast<FaceKind>(k);
        const CellColour plainFar = stepColour(kind, kFogSteps - 1, ColourDepth::Basic16);
        const CellColour faintFar = stepColour(kind, kFogSteps - 1, ColourDepth::Basic16Faint);
        EXPECT_TRUE(isFaint(faintFar) && !isFaint(plainFar)) << k;
        EXPECT_LT(luminance(faintFar), luminance(plainFar)) << k;
    }
}

// At 256 colours the fog reads as a gradient, not as bands: up to half the draw distance no
// shade of any kind lasts more than 2 cells of depth, and each new one is darker.
TEST(PaletteTest, AtTwoHundredFiftySixColoursNoShadeIsMoreThanTwoCellsDeepUpToHalfTheDistance) {
    constexpr double kStep = 0.01;
    for (std::size_t k = 0; k < kFaceKindCount; ++k) {
        const auto kind = static_cast<FaceKind>(k);
        double runStart = 0.0;
        CellColour runColour = faceColour(kind, 0.0, ColourDepth::Palette256);
        for (double depth = kStep; runStart < kDrawDistance / 2; depth += kStep) {
            const CellColour colour = faceColour(kind, depth, ColourDepth::Palette256);
            if (colour != runColour) {
                EXPECT_LT(luminance(colour), luminance(runColour)) << "kind " << k << " at " << depth;
                runStart = depth;
                runColour = colour;
            }
            ASSERT_LE(depth - runStart, 2.0 + kStep) << "kind " << k << ": one shade from " << runStart;
        }
        EXPECT_NE(faceColour(kind, 2.0, ColourDepth::Palette256),
                  faceColour(kind, 8.0, ColourDepth::Palette256));
    }
}

// Each kind keeps the hue that the README and the manual page give it, near and far, at every
// colour depth: a hue range on the colour wheel (degrees, red at 0) for each.
TEST(PaletteTest, EachKindKeepsItsNamedHue) {
    struct NamedHue {
        FaceKind kind;
        const char* name;
        double from;  // the range runs from `from` up to `to`, through 0 where from > to
        double to;
    };
    const NamedHue hues[] = {
        {FaceKind::BlockSideX, "brick red", 340, 25},       {FaceKind::BlockSideZ, "sand", 25, 70},
        {FaceKind::BlockTopBottom, "slate blue", 195, 250}, {FaceKind::ExitDoor, "green", 100, 160},
        {FaceKind::ExitWindow, "cyan", 170, 200},           {FaceKind::Enemy, "magenta", 290, 330},
    };
    const auto hueOf = [](Rgb rgb) {
        const int most = std::max({rgb.red, rgb.green, rgb.blue});
        const int least = std::min({rgb.red, rgb.green, rgb.blue});
        const double span = most - least;
        double hue = 0.0;
        if (most == rgb.red) {
            hue = 60.0 * (rgb.green - rgb.blue) / span;
        } else if (most == rgb.green) {
            hue = 60.0 * (2.0 + (rgb.blue - rgb.red) / span);
        } else {
            hue = 60.0 * (4.0 + (rgb.red - rgb.green) / span);
        }
        return hue < 0.0 ? hue + 360.0 : hue;
    };
    for (const NamedHue& named : hues) {
        for (const ColourDepth depth : kAllDepths) {
            for (std::int32_t step = 0; step < fogStepCount(depth); ++step) {
                const Rgb rgb = shownRgb(stepColour(named.kind, step, depth));
                ASSERT_NE(std::max({rgb.red, rgb.green, rgb.blue}), std::min({rgb.red, rgb.green, rgb.blue}))
                    << named.name << ": a grey has no hue";
                const double hue = hueOf(rgb);
                const bool inRange = named.from < named.to ? hue >= named.from && hue <= named.to
                                                           : hue >= named.from || hue <= named.to;
                EXPECT_TRUE(inRange) << named.name << " at depth " << static_cast<int>(depth) << ", step "
                                     << step << ": hue " << hue;
            }
        }
    }
}

// One symbol per colour, in the order the colours first appear; '.' for none.
constexpr std::string_view kMapSymbols = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string colourName(CellColour colour) {
    const Rgb rgb = shownRgb(colour);
    switch (colour & kColourTagMask) {
    case kBasicColourTag: return "basic " + std::to_string(colour & kColourValueMask);
    case kPaletteColourTag: return "palette " + std::to_string(colour & kColourValueMask);
    default:
        return "rgb " + std::to_string(rgb.red) + " " + std::to_string(rgb.green) + " " +
               std::to_string(rgb.blue);
    }
}

// The colour map of a frame: a line per colour ("<symbol> <colour>"), an empty line, then a
// line of symbols per frame line.
std::string colourMap(const FrameColours& colours) {
    std::map<CellColour, char> symbols;
    std::string legend;
    std::string map;
    for (const auto& line : colours) {
        for (const CellColour colour : line) {
            if (colour == kNoColour) {
                map.push_back('.');
                continue;
            }
            auto found = symbols.find(colour);
            if (found == symbols.end()) {
                const char symbol = symbols.size() < kMapSymbols.size() ? kMapSymbols[symbols.size()] : '?';
                found = symbols.emplace(colour, symbol).first;
                legend += std::string(1, symbol) + " " + colourName(colour) + "\n";
            }
            map.push_back(found->second);
        }
        map.push_back('\n');
    }
    return legend + "\n" + map;
}

class StartViewColourMapTest : public ::testing::TestWithParam<std::pair<ColourDepth, const char*>> {};

TEST_P(StartViewColourMapTest, MatchesTheStoredMap) {
    const auto [depth, name] = GetParam();
    const std::string path = std::string(BRICKSTORM_TEST_DATA "/") + name;
    const std::string map = colourMap(colouredFrame(startLevelFaces(), kStartCamera, 0.0, depth).colours);
    std::ifstream file(path, std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (map != stored) {
        // Written beside the test program, to look at and, when the change is meant, to store.
        std::ofstream(name, std::ios::binary) << map;
    }
    EXPECT_TRUE(file) << "missing stored map " << path;
    EXPECT_EQ(map, stored) << "the map drawn now is in " << name << " in the working directory";
}

INSTANTIATE_TEST_SUITE_P(
    Depths, StartViewColourMapTest,
    ::testing::Values(std::pair{ColourDepth::Basic16Faint, "builtin_level_start_yaw0.colours16"},
                      std::pair{ColourDepth::Palette256, "builtin_level_start_yaw0.colours256"},
                      std::pair{ColourDepth::Direct24, "builtin_level_start_yaw0.colours24"}));

// What the stored maps should show a person: on the start view the floor, near and far, in
// one hue that darkens with distance, so that the floor 2 cells ahead and the floor 12 cells
// ahead differ (16 colours change only at half the draw distance, beyond this floor).
TEST_P(StartViewColourMapTest, TheFloorDarkensWithDistance) {
    const ColourDepth depth = GetParam().first;
    FrameBuffer frame;
    for (const ScreenQuad& quad : renderView(ViewSettings{}, startLevelFaces(), kStartCamera, 0.0)) {
        frame.fillQuad(quad);
    }
    const FrameColours colours = coloursOf(framePicture(frame, depth));
    std::vector<std::pair<float, CellColour>> floor;  // depth and colour of each floor cell
    for (std::size_t r = 0; r < frame.rows.size(); ++r) {
        for (std::size_t c = 0; c < frame.rows[r].size(); ++c) {
            const CellFace& face = frame.faces[r][c];
            if (frame.rows[r][c] != 0 && face.kind == FaceKind::BlockTopBottom && face.depth < kDrawDistance) {
                floor.emplace_back(face.depth, colours[r][c]);
            }
        }
    }
    std::sort(floor.begin(), floor.end());
    for (std::size_t i = 1; i < floor.size(); ++i) {
        ASSERT_LE(luminance(floor[i].second), luminance(floor[i - 1].second))
            << "farther floor brighter, at " << floor[i].first << " cells";
    }
    ASSERT_FALSE(floor.empty());
    ASSERT_LE(floor.front().first, 2.0F);
    ASSERT_GE(floor.back().first, 12.0F);
    const auto colourFrom = [&](float distance) {
        return std::lower_bound(floor.begin(), floor.end(), std::pair{distance, CellColour{0}})->second;
    };
    if (depth != ColourDepth::Basic16Faint) {
        EXPECT_NE(colourFrom(0.0F), colourFrom(12.0F)) << "the floor shows no fog within 12 cells";
        EXPECT_NE(colourFrom(2.0F), colourFrom(8.0F)) << "the floor 2 and 8 cells ahead look alike";
    }
}

}  // namespace
}  // namespace brickstorm
