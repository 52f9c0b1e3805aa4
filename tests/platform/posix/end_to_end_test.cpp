// The built game, played on a pseudo-terminal as a person would: each screen is waited for on
// the terminal, then the next key is typed.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/terminal_sequences.h"
#include "support/pty_session.h"
#include "support/vterm_screen.h"

namespace brickstorm::platform {
namespace {

using testing::PtySession;

constexpr int kWindowColumns = 91;
constexpr int kWindowRows = 61;
constexpr int kPictureLines = 60;

// The pictures the game has shown so far: the window's first 60 lines after each synchronized
// update, as a terminal emulator shows them (the game may send only what changed). Reads the
// output as it grows.
class ShownPictures {
public:
    const std::vector<std::string>& read(std::string_view output) {
        for (auto end = output.find(kEndUpdate, fed_); end != std::string_view::npos;
             end = output.find(kEndUpdate, fed_)) {
            const auto next = end + kEndUpdate.size();
            window_.feed(output.substr(fed_, next - fed_));
            fed_ = next;
            all_.push_back(window_.text(kPictureLines, kWindowColumns));
        }
        return all_;
    }

private:
    testing::VtermScreen window_{kWindowRows, kWindowColumns};
    std::size_t fed_ = 0;
    std::vector<std::string> all_;
};

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

bool isGameFrame(std::string_view picture) {
    const auto lines = screenLines(picture);
    if (lines.size() != 60) {
        return false;
    }
    for (const auto& line : lines) {
        if (line.size() != 91 || line.back() != "#") {
            return false;
        }
    }
    return picture.find("Press any key") == std::string_view::npos;
}

// A frame with nothing drawn in it: 60 lines of 90 blanks and the edge.
bool isEmptyFrame(std::string_view picture) {
    std::string empty;
    for (int line = 0; line < 60; ++line) {
        empty += std::string(90, ' ') + "#" + (line < 59 ? "\n" : "");
    }
    return picture == empty;
}

// Waits until the last whole picture on the terminal satisfies `condition`; returns it, or
// nothing at the deadline.
std::optional<std::string> waitForPicture(const PtySession& session, ShownPictures& shown,
                                          const std::function<bool(const std::string&)>& condition) {
    std::optional<std::string> seen;
    session.waitForOutput([&](std::string_view output) {
        const auto& all = shown.read(output);
        if (!all.empty() && condition(all.back())) {
            seen = all.back();
        }
        return seen.has_value();
    });
    return seen;
}

auto showing(std::string_view text) {
    return [text](const std::string& picture) { return picture.find(text) != std::string::npos; };
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
    ShownPictures shown;

    const auto title = waitForPicture(session, shown, showing("- Press any key to continue -"));
    ASSERT_TRUE(title) << "no title";
    for (const char* line : {"A Quarry Lantern game", "1.Adjust your console", "2.Set the font size to 8x8",
                             "3.Don't shit your pants"}) {
        EXPECT_NE(title->find(line), std::string::npos) << line;
    }
    EXPECT_EQ(screenLines(*title).size(), 60U);

    session.send("x");
    const auto level = waitForPicture(session, shown, showing("LEVEL 1"));
    ASSERT_TRUE(level) << "no level screen";
    EXPECT_NE(level->find("Kill enemies. Find the exit."), std::string::npos);

    session.send("x");
    const auto start = waitForPicture(session, shown, [](const std::string& picture) {
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

    session.send("x");
    ASSERT_TRUE(waitForPicture(session, shown, showing("LEVEL 1")))
        << "no level screen after the game-over screen";

    session.sendSignal(SIGTERM);
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM);
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
    EXPECT_TRUE(session.output().ends_with(kGiveBackScreen));
}

}  // namespace
}  // namespace brickstorm::platform
