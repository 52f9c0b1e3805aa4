// What the terminal console sends, played into a real terminal emulator (libvterm): after every
// picture of a play-through, the emulator's window must show exactly that picture, whether the
// console sends only the changed cells or every frame whole.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/posix/terminal_console.h"
#include "render/picture.h"
#include "support/game_driver.h"
#include "support/sgr_search.h"
#include "support/vterm_screen.h"
#include "terminal/picture_update.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

using testing::GameDriver;
using testing::VtermScreen;

// Standard output as a string.
class StringOutput final : public SystemCalls {
public:
    ssize_t write(int, const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
        return static_cast<ssize_t>(size);
    }
    int poll(pollfd*, nfds_t, int) override { return 1; }
    ssize_t read(int, void*, std::size_t) override { return 0; }

    std::string bytes;
};

class WindowHost final : public ConsoleHost {
public:
    bool beginDrawing() override { return true; }
    void endDrawing() override {}
    bool takeRepaintRequest() override { return std::exchange(repaint, false); }
    void outputLost() override { ADD_FAILURE() << "output lost"; }

    bool repaint = false;
};

std::string_view utf8Cell(unsigned char character) { return encodeByte(character, Charset::Utf8); }

constexpr int kWindowLines = 61;
constexpr int kWindowColumns = 91;

// The game's console, with everything it sends fed into an emulated window that is compared,
// cell by cell, with the picture the game asked for. A resize is played as the window changing
// to a smaller or larger picture: frames are cut to that size, and a repaint is requested.
class CheckedWindow final : public Console {
public:
    // `checking`: compared with the emulated window after every picture; otherwise only the bytes
    // are counted.
    explicit CheckedWindow(bool fullRedraw, bool checking = true,
                           std::optional<ColourDepth> colour = std::nullopt)
        : console_({1, {Charset::Utf8, LineEnd::Lf}, true, fullRedraw, colour}, output_, host_),
          checking_(checking) {}

    void clear() override {
        console_.clear();
        expected_.clear();
    }
    void write(std::string_view text) override {
        console_.write(text);
        expected_ += text;
        expectedColours_.clear();
        check();
    }
    // No frame costs more than sending it whole (a quarter turn included).
    void showFrame(std::string_view frame) override {
        expected_ = cut(frame);
        expectedColours_.clear();
        const std::size_t before = output_.bytes.size();
        console_.showFrame(expected_);
        const std::size_t whole =
            terminalFrame(wholePictureBytes(pictureFromText(expected_), utf8Cell), false).size();
        EXPECT_LE(output_.bytes.size() - before, whole) << "picture " << pictures + 1;
        check();
    }
    std::optional<ColourDepth> colourDepth() const override { return console_.colourDepth(); }
    void showColouredFrame(std::string_view frame, const FrameColours& colours) override {
        expected_ = cut(frame);
        expectedColours_ = cutColours(colours);
        const std::size_t before = output_.bytes.size();
        console_.showColouredFrame(expected_, expectedColours_);
        const std::size_t whole =
            terminalFrame(wholePictureBytes(pictureFromText(expected_, expectedColours_), utf8Cell), false)
                .size();
        EXPECT_LE(output_.bytes.size() - before, whole) << "picture " << pictures + 1;
        check();
    }
    void refresh() override {
        console_.refresh();
        check();
    }

    // As after a stop and a resume: the window is emptied, and a repaint is requested.
    void loseThePicture() {
        window_.feed("\x1b[H\x1b[2J");
        host_.repaint = true;
    }

    void resize(int columns, int lines) {
        columns_ = columns;
        lines_ = lines;
        host_.repaint = true;
    }

    int pictures = 0;
    std::size_t bytes() const { return output_.bytes.size(); }
    const std::string& sent() const { return output_.bytes; }

private:
    // The frame at the window's picture size: its top lines, each its left cells and the edge.
    std::string cut(std::string_view frame) const {
        const Picture full = pictureFromText(frame);
        std::string text;
        for (int line = 0; line < lines_ && line < static_cast<int>(full.lines.size()); ++line) {
            if (line > 0) {
                text += '\n';
            }
            const CellLine& cells = full.lines[static_cast<std::size_t>(line)];
            for (int column = 0; column + 1 < columns_ && column + 1 < static_cast<int>(cells.size());
                 ++column) {
                text += static_cast<char>(cells[static_cast<std::size_t>(column)].character);
            }
            text += '#';
        }
        return text;
    }

    // The colours of a frame cut as cut() cuts its text; the edge uncoloured.
    FrameColours cutColours(const FrameColours& colours) const {
        FrameColours cutLines;
        for (int line = 0; line < lines_ && line < static_cast<int>(colours.size()); ++line) {
            const auto& full = colours[static_cast<std::size_t>(line)];
            auto& kept = cutLines.emplace_back();
            for (int column = 0; column + 1 < columns_ && column + 1 < static_cast<int>(full.size());
                 ++column) {
                kept.push_back(full[static_cast<std::size_t>(column)]);
            }
            kept.push_back(kNoColour);
        }
        return cutLines;
    }

    // The colour a cell is meant to show; none on text screens.
    CellColour wantedColour(int line, int column) const {
        if (line >= static_cast<int>(expectedColours_.size())) {
            return kNoColour;
        }
        const auto& colours = expectedColours_[static_cast<std::size_t>(line)];
        return column < static_cast<int>(colours.size()) ? colours[static_cast<std::size_t>(column)]
                                                         : kNoColour;
    }

    void check() {
        ++pictures;
        if (!checking_) {
            return;
        }
        window_.feed(std::string_view(output_.bytes).substr(fed_));
        fed_ = output_.bytes.size();
        const Picture picture = pictureFromText(expected_);
        for (int line = 0; line < kWindowLines; ++line) {
            for (int column = 0; column < kWindowColumns; ++column) {
                unsigned char wanted = ' ';
                if (line < static_cast<int>(picture.lines.size())) {
                    const CellLine& cells = picture.lines[static_cast<std::size_t>(line)];
                    if (column < static_cast<int>(cells.size())) {
                        wanted = cells[static_cast<std::size_t>(column)].character;
                    }
                }
                const std::uint32_t shown = window_.character(line, column);
                if (shown != codePoints_[wanted]) {
                    ADD_FAILURE() << "picture " << pictures << ", line " << line + 1 << ", column "
                                  << column + 1 << ": shows \"" << testing::utf8(shown) << "\" instead of \""
                                  << encodeByte(wanted, Charset::Utf8) << "\"";
                    return;  // one report per picture
                }
                if (wanted != ' ' && window_.foreground(line, column) != wantedColour(line, column)) {
                    ADD_FAILURE() << "picture " << pictures << ", line " << line + 1 << ", column "
                                  << column + 1 << ": colour " << std::hex << window_.foreground(line, column)
                                  << " instead of " << wantedColour(line, column) << std::dec;
                    return;
                }
            }
        }
        if (!window_.penIsDefault()) {
            ADD_FAILURE() << "picture " << pictures << " leaves the terminal coloured";
        }
    }

    // The code point that each byte of the game's text is shown as.
    static std::array<std::uint32_t, 256> shownCodePoints() {
        std::array<std::uint32_t, 256> table{};
        for (std::size_t byte = 0; byte < table.size(); ++byte) {
            VtermScreen cell(1, 1);
            cell.feed(encodeByte(static_cast<unsigned char>(byte), Charset::Utf8));
            table[byte] = cell.character(0, 0);
        }
        return table;
    }

    StringOutput output_;
    WindowHost host_;
    TerminalConsole console_;
    VtermScreen window_{kWindowLines, kWindowColumns};
    std::size_t fed_ = 0;
    std::string expected_;
    FrameColours expectedColours_;
    bool checking_;
    std::array<std::uint32_t, 256> codePoints_ = shownCodePoints();
    int columns_ = kWindowColumns;
    int lines_ = kWindowLines;
};

// Level 1 played through, rendering after every tick as the render thread would: the title and
// level screens, turns and steps, a fall to the death screen and back, an enemy walking up and
// shot, two stops and resumes, and two resizes.
class PlayThrough {
public:
    explicit PlayThrough(CheckedWindow& window) : window_(window), game_(window) {}

    void run() {
        window_.refresh();
        game_.tick();
        pass();
        game_.press(' ');
        pass();
        game_.press(' ');
        act('d');
        act('a');
        act('a');
        act('a');
        game_.press('w');  // off the edge: a fall, the death screen
        while (game_.state.screen == "game") {
            step();
        }
        pass();
        game_.press('x');  // back to the level screen, and into the game again
        pass();
        window_.loseThePicture();  // a text screen is drawn once: the repaint must bring it back
        pass();
        game_.press('x');
        shootTheEnemyComingUp();
        act('w');
        window_.loseThePicture();
        act('w');
        window_.resize(61, 40);
        act('d');
        act(75);  // a step sideways
        window_.resize(kWindowColumns, kWindowLines);
        act('a');
        act('w');
        for (int tick = 0; tick < 30; ++tick) {
            step();
        }
    }

    bool shotAnEnemy = false;

private:
    void pass() {
        window_.refresh();
        game_.render();
    }
    void step() {
        game_.tick();
        pass();
    }
    // Presses `code` and plays on until the player is at rest again.
    void act(int code) {
        game_.press(code);
        do {
            step();
        } while (game_.state.screen == "game" &&
                 (game_.state.player.moveTicks > 0 || game_.state.player.turnTicks > 0 ||
                  game_.state.player.climbPhase > 0));
    }
    // Facing +z from the start, waits for the near enemy to walk into the column ahead and shoots.
    void shootTheEnemyComingUp() {
        const std::size_t enemiesBefore = game_.state.enemies.size();
        const Vec3 player = game_.state.player.position;
        for (int tick = 0; tick < 1000 && game_.state.screen == "game"; ++tick) {
            step();
            for (const EnemyEntity& enemy : game_.state.enemies) {
                if (enemy.position.x == player.x && enemy.position.z > player.z) {
                    game_.press('r');
                    for (int after = 0; after < 10; ++after) {
                        step();
                    }
                    shotAnEnemy = game_.state.enemies.size() < enemiesBefore;
                    return;
                }
            }
        }
    }

    CheckedWindow& window_;
    GameDriver game_;
};

class ChangedCellsTest : public ::testing::TestWithParam<bool> {};

TEST_P(ChangedCellsTest, TheTerminalShowsEveryPictureOfAPlayThrough) {
    CheckedWindow window(GetParam());
    PlayThrough play(window);
    play.run();
    EXPECT_TRUE(play.shotAnEnemy);
    EXPECT_GT(window.pictures, 500);
}

INSTANTIATE_TEST_SUITE_P(ChangedOrWhole, ChangedCellsTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "FullRedraw" : "ChangedCells";
                         });

using testing::sendsAnySgr;

TEST(ChangedCells, AMonochromePlayThroughSendsNoColourAtAll) {
    for (const bool fullRedraw : {false, true}) {
        CheckedWindow window(fullRedraw, false);
        PlayThrough(window).run();
        EXPECT_FALSE(sendsAnySgr(window.sent())) << (fullRedraw ? "full redraw" : "changed cells");
    }
}

struct ColouredCase {
    bool fullRedraw;
    ColourDepth depth;
};

std::string colouredCaseName(const ::testing::TestParamInfo<ColouredCase>& info) {
    constexpr std::array<const char*, 3> kNames{"Basic16", "Palette256", "Direct24"};
    return std::string(info.param.fullRedraw ? "FullRedraw" : "ChangedCells") +
           kNames[static_cast<std::size_t>(info.param.depth)];
}

class ColouredCellsTest : public ::testing::TestWithParam<ColouredCase> {};

// Every picture's characters and colours, read back from the emulated window, are the frame's;
// and after each one the terminal writes in its own colours again.
TEST_P(ColouredCellsTest, TheTerminalShowsEveryCharacterAndColourOfAPlayThrough) {
    CheckedWindow window(GetParam().fullRedraw, true, GetParam().depth);
    PlayThrough play(window);
    play.run();
    EXPECT_TRUE(play.shotAnEnemy);
    EXPECT_TRUE(sendsAnySgr(window.sent()));
}

INSTANTIATE_TEST_SUITE_P(Depths, ColouredCellsTest,
                         ::testing::Values(ColouredCase{false, ColourDepth::Basic16},
                                           ColouredCase{false, ColourDepth::Palette256},
                                           ColouredCase{false, ColourDepth::Direct24},
                                           ColouredCase{true, ColourDepth::Direct24}),
                         colouredCaseName);

// The same play-through costs a fraction of the bytes when only changed cells are sent.
TEST(ChangedCells, APlayThroughSendsAFractionOfTheWholeFrames) {
    CheckedWindow changed(false, false);
    PlayThrough(changed).run();
    CheckedWindow whole(true, false);
    PlayThrough(whole).run();
    EXPECT_LT(changed.bytes() * 4, whole.bytes()) << changed.bytes() << " vs " << whole.bytes();
}

}  // namespace
}  // namespace brickstorm::platform
