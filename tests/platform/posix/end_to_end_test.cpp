// The built game, played on a pseudo-terminal as a person would: each screen is waited for on
// the terminal, then the next key is typed.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "support/pty_session.h"
#include "support/sgr_search.h"
#include "support/shown_pictures.h"
#include "terminal/output_encoding.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {

// The terminal's protocol, which this layer carries to the operating system.
using namespace brickstorm::terminal;
namespace {

using testing::pressUntil;
using testing::PtySession;
using testing::showing;
using testing::ShownPictures;
using testing::waitForPicture;

constexpr int kWindowColumns = 91;
constexpr int kWindowRows = 61;
constexpr int kPictureLines = 60;

// The lines of a picture, each as a list of characters (a shade character is one, whatever its
// length in UTF-8).
std::vector<std::vector<std::string>> screenLines(std::string_view picture) {
    std::vector<std::vector<std::string>> lines(1);
    for (std::size_t i = 0; i < picture.size();) {
        if (picture[i] == '\n') {
            lines.emplace_back();
            ++i;
            continue;
        }
        const auto lead = static_cast<unsigned char>(picture[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        lines.back().emplace_back(picture.substr(i, length));
        i += length;
    }
    return lines;
}

// A picture of `lines` lines, each `columns` characters ending in the edge.
bool fillsWindow(std::string_view picture, std::size_t columns, std::size_t lines) {
    const auto split = screenLines(picture);
    return split.size() == lines && std::all_of(split.begin(), split.end(), [&](const auto& line) {
               return line.size() == columns && line.back() == "#";
           });
}

// A 3D view (no text screen) filling a window of `columns` x `lines`.
bool isViewFilling(std::string_view picture, std::size_t columns, std::size_t lines) {
    return fillsWindow(picture, columns, lines) && picture.find("Press any key") == std::string_view::npos &&
           picture.find("\u2588") != std::string_view::npos;
}

bool isGameFrame(std::string_view picture) {
    return fillsWindow(picture, 91, 60) && picture.find("Press any key") == std::string_view::npos;
}

// A frame with nothing drawn in it: 60 lines of 90 blanks and the edge.
bool isEmptyFrame(std::string_view picture) {
    std::string empty;
    for (int line = 0; line < 60; ++line) {
        empty += std::string(90, ' ') + "#" + (line < 59 ? "\n" : "");
    }
    return picture == empty;
}

// Waits until the window shows a game frame that satisfies `condition` and stays unchanged for
// 0.8 s: the turn under way has ended. (A still view sends nothing at all, while the end of a
// quarter turn, which may already look empty, lasts at most 0.4 s.)
bool waitForSettledView(const PtySession& session, ShownPictures& shown,
                        const std::function<bool(const std::string&)>& condition) {
    constexpr std::chrono::milliseconds kStillTime{800};
    const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto& all = shown.read(session.output());
        const std::size_t count = all.size();
        const bool wanted = !all.empty() && isGameFrame(all.back()) && condition(all.back());
        const bool changed =
            session.waitForOutput([&](std::string_view output) { return shown.read(output).size() > count; },
                                  wanted ? kStillTime : PtySession::kPatience);
        if (wanted && !changed) {
            return true;
        }
    }
    return false;
}

TEST(EndToEnd, FromTheTitleOverTheEdgeAndBackToTheLevelScreen) {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    PtySession session(options);
    ASSERT_TRUE(session.started());
    ShownPictures shown(kWindowRows, kWindowColumns, kPictureLines);

    const auto title = waitForPicture(session, shown, showing("- Press any key to continue -"));
    ASSERT_TRUE(title) << "no title";
    for (const char* line : {"A Quarry Lantern game", "1.Adjust your console", "2.Set the font size to 8x8",
                             "3.Don't shit your pants"}) {
        EXPECT_NE(title->find(line), std::string::npos) << line;
    }
    EXPECT_EQ(screenLines(*title).size(), 60U);

    const auto level = pressUntil(session, shown, "x", showing("LEVEL 1"));
    ASSERT_TRUE(level) << "no level screen";
    EXPECT_NE(level->find("Kill enemies. Find the exit."), std::string::npos);

    const auto start = pressUntil(session, shown, "x", [](const std::string& picture) {
        return isGameFrame(picture) && !isEmptyFrame(picture);
    });
    ASSERT_TRUE(start) << "no 3D frame";
    EXPECT_NE(start->find("\u2588"), std::string::npos) << "no full-block wall in view";

    // A quarter turn takes a second; the second turn is typed once the first has ended.
    session.send("a");
    ASSERT_TRUE(waitForSettledView(session, shown, [&](const std::string& view) { return view != *start; }))
        << "the first turn never ended";
    session.send("a");
    ASSERT_TRUE(waitForSettledView(session, shown, isEmptyFrame))
        << "looking out of the level should show nothing";

    session.send("w");
    const auto gameOver = waitForPicture(session, shown, showing("GAME OVER"));
    ASSERT_TRUE(gameOver) << "no game-over screen";
    EXPECT_NE(gameOver->find("You fell to your death."), std::string::npos);

    ASSERT_TRUE(pressUntil(session, shown, "x", showing("LEVEL 1")))
        << "no level screen after the game-over screen";

    session.sendSignal(SIGTERM);
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM);
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
    EXPECT_TRUE(session.output().ends_with(kGiveBackScreen));
}

// The stored start view of the built-in level, as a UTF-8 terminal shows it.
std::string storedStartView() {
    std::ifstream file(BRICKSTORM_TEST_DATA "/builtin_level_start_yaw0.frame", std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::string shown;
    appendEncoded(shown, stored, OutputStyle{Charset::Utf8, LineEnd::Lf});
    return shown;
}

// The centred line of a picture that holds `text`, or nothing.
std::optional<std::string> lineWith(std::string_view picture, std::string_view text) {
    for (const auto& line : screenLines(picture)) {
        std::string joined;
        for (const auto& character : line) {
            joined += character;
        }
        if (joined.find(text) != std::string::npos) {
            return joined;
        }
    }
    return std::nullopt;
}

TEST(EndToEnd, FitsAnEightyByTwentyFourWindowAndFollowsItsResizes) {
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.columns = 80;
    options.rows = 24;
    PtySession session(options);
    ASSERT_TRUE(session.started());
    ShownPictures shown(kWindowRows, kWindowColumns, kPictureLines);
    shown.resize("", 24, 80, 24, 80);

    const auto title = waitForPicture(session, shown, showing("- Press any key to continue -"));
    ASSERT_TRUE(title) << "no title";
    EXPECT_TRUE(fillsWindow(*title, 80, 24)) << *title;
    for (const char* line : {"[][][][]    [][][][]", "A Quarry Lantern game", "1.Adjust your console",
                             "2.Set the font size to 8x8", "3.Don't shit your pants"}) {
        EXPECT_NE(title->find(line), std::string::npos) << line;
    }

    const auto level = pressUntil(session, shown, "x", showing("LEVEL 1"));
    ASSERT_TRUE(level) << "no level screen";
    EXPECT_TRUE(fillsWindow(*level, 80, 24));
    EXPECT_EQ(lineWith(*level, "LEVEL 1"), std::string(36, ' ') + "LEVEL 1" + std::string(36, ' ') + "#");

    ASSERT_TRUE(pressUntil(session, shown, "x", [](const std::string& p) { return isViewFilling(p, 80, 24); }))
        << "no 3D view filling the window";

    shown.resize(session.output(), 40, 120, 40, 120);
    session.resize(120, 40);
    ASSERT_TRUE(waitForPicture(session, shown, [](const std::string& p) { return isViewFilling(p, 120, 40); }))
        << "no 3D view at the new size";

    shown.resize(session.output(), 62, 100, kPictureLines, kWindowColumns);
    session.resize(100, 62);
    const std::string fullPicture = storedStartView();
    ASSERT_TRUE(waitForPicture(session, shown, [&](const std::string& p) { return p == fullPicture; }))
        << "not the full picture once the window holds it";

    session.sendSignal(SIGTERM);
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()));
}

// A terminal whose cells are twice as tall as wide, in a window large enough for the full
// picture: the view is fitted to the whole window, so that cubes look like cubes; told the cells
// are square, the game shows the full picture.
TEST(EndToEnd, TallCellsGetTheFittedViewAndSquareOnesTheFullPicture) {
    for (const bool square : {false, true}) {
        SCOPED_TRACE(square ? "--cell-aspect 1" : "8 x 16 pixel cells");
        PtySession::Options options;
        options.program = BRICKSTORM_BINARY;
        options.columns = 100;
        options.rows = 62;
        options.cellWidth = 8;
        options.cellHeight = 16;
        if (square) {
            options.arguments = {"--cell-aspect", "1"};
        }
        PtySession session(options);
        ASSERT_TRUE(session.started());
        ShownPictures shown(kWindowRows, kWindowColumns, kPictureLines);
        shown.resize("", 62, 100, square ? kPictureLines : 62, square ? kWindowColumns : 100);
        ASSERT_TRUE(waitForPicture(session, shown, showing("- Press any key to continue -")));
        ASSERT_TRUE(pressUntil(session, shown, "x", showing("LEVEL 1")));
        if (square) {
            const std::string fullPicture = storedStartView();
            EXPECT_TRUE(pressUntil(session, shown, "x", [&](const std::string& p) {
                return p == fullPicture;
            })) << "not the full picture";
        } else {
            EXPECT_TRUE(pressUntil(session, shown, "x", [](const std::string& p) {
                return isViewFilling(p, 100, 62);
            })) << "no 3D view filling the window";
        }
        session.sendSignal(SIGTERM);
        ASSERT_TRUE(session.waitForExit().has_value());
    }
}

struct CommandLineCase {
    std::vector<std::string> arguments;
    int status;
    std::string shows;
    PtySession::Output output;  // closed: what still shows went to standard error
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << (c.arguments.empty() ? std::string("none") : c.arguments.front());
}

class EndToEndCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(EndToEndCommandLine, AnswersAndEndsWithoutTouchingTheTerminal) {
    const CommandLineCase& c = GetParam();
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = c.arguments;
    options.output = c.output;
    PtySession session(options);
    ASSERT_TRUE(session.started());
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), c.status);
    EXPECT_TRUE(session.waitForOutputContaining(c.shows)) << session.output();
    EXPECT_EQ(session.output().find('\x1b'), std::string::npos) << "a control sequence reached the terminal";
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()));
}

INSTANTIATE_TEST_SUITE_P(
    Options, EndToEndCommandLine,
    ::testing::Values(CommandLineCase{{"--help"}, 0, "--fit", PtySession::Output::Terminal},
                      CommandLineCase{{"--version"}, 0, "brickstorm", PtySession::Output::Terminal},
                      CommandLineCase{{"--no-such-option"}, 2, "--help", PtySession::Output::Closed},
                      CommandLineCase{{"--cell-aspect", "x"}, 2, "--help", PtySession::Output::Closed},
                      CommandLineCase{{"--color=sometimes"}, 2, "--help", PtySession::Output::Closed}));

using testing::sendsAnySgr;

struct ColourCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    const char* colourSequence;  // the start of the colour sequences expected; none when null
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

class EndToEndColour : public ::testing::TestWithParam<ColourCase> {};

// From the title into the game's first frame and out by a signal: colour only when asked for,
// in the depth that the environment names, and the terminal's own colours back at the end.
TEST_P(EndToEndColour, ColoursTheViewOnlyWhenAskedAndGivesTheColoursBack) {
    const ColourCase& c = GetParam();
    PtySession::Options options;
    options.program = BRICKSTORM_BINARY;
    options.arguments = c.arguments;
    options.environment.insert(options.environment.end(), c.environment.begin(), c.environment.end());
    PtySession session(options);
    ASSERT_TRUE(session.started());
    ShownPictures shown(kWindowRows, kWindowColumns, kPictureLines);
    ASSERT_TRUE(waitForPicture(session, shown, showing("- Press any key to continue -"))) << "no title";
    ASSERT_TRUE(pressUntil(session, shown, "x", showing("LEVEL 1"))) << "no level screen";
    const auto start = pressUntil(session, shown, "x", [](const std::string& picture) {
        return isGameFrame(picture) && !isEmptyFrame(picture);
    });
    ASSERT_TRUE(start) << "no 3D frame";
    session.sendSignal(SIGTERM);
    ASSERT_TRUE(session.waitForExit().has_value()) << "still running";
    ASSERT_TRUE(
        session.waitForOutput([](std::string_view output) { return output.ends_with(kGiveBackScreen); }));
    const std::string output = session.output();
    if (c.colourSequence == nullptr) {
        EXPECT_FALSE(sendsAnySgr(output));
        return;
    }
    EXPECT_NE(output.find(c.colourSequence), std::string::npos);
    EXPECT_TRUE(output.ends_with(std::string(kResetAttributes) + std::string(kGiveBackScreen)));
}

INSTANTIATE_TEST_SUITE_P(
    Options, EndToEndColour,
    ::testing::Values(
        ColourCase{"Default", {}, {"TERM=xterm-256color", "COLORTERM=truecolor", "NO_COLOR="}, nullptr},
        ColourCase{"Never", {"--color=never"}, {"TERM=xterm-256color", "COLORTERM=truecolor"}, nullptr},
        ColourCase{"AutoWithNoColor", {"--color=auto"}, {"TERM=xterm-256color", "NO_COLOR=1"}, nullptr},
        ColourCase{"Always24Bit", {"--color"}, {"TERM=xterm", "COLORTERM=truecolor"}, "\x1b[38;2;"},
        ColourCase{
            "Auto256", {"--color=auto"}, {"TERM=xterm-256color", "COLORTERM=", "NO_COLOR="}, "\x1b[38;5;"},
        ColourCase{"Forced16",
                   {"--color", "--color-depth", "16"},
                   {"TERM=xterm-256color", "COLORTERM=truecolor"},
                   "\x1b[9"}),
    [](const ::testing::TestParamInfo<ColourCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brickstorm::platform
