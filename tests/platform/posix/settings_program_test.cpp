// The built game with a configuration file and a state folder of the test's own: settings from
// the file, a broken file stopped before the terminal is touched, and progress remembered from
// one run to the next.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "settings/progress.h"
#include "support/pty_session.h"
#include "support/temp_folder.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {
namespace {

namespace fs = std::filesystem;
using testing::PtySession;

// A floor of two cells, the start near and the exit one step ahead.
constexpr const char* kOneStep = "001 002 002\nbb\nE\np\n";
constexpr const char* kTwoByTwo = "002 002 002 bbbb E0 pe";

// A home of the test's own: the settings and state folders, and the level files.
class SettingsProgramTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text) const {
        const fs::path path = fs::path(home_.path()) / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::string progressText() const {
        std::ifstream in(home_.path() + "/state/brickstorm/progress", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    PtySession::Options options(std::vector<std::string> arguments) const {
        PtySession::Options options;
        options.program = BRICKSTORM_BINARY;
        options.arguments = std::move(arguments);
        options.environment = {"LC_ALL=C.UTF-8", "XDG_CONFIG_HOME=" + home_.path() + "/config",
                               "XDG_STATE_HOME=" + home_.path() + "/state"};
        return options;
    }

    // Types `key` until the output holds `text` `times` times. A text screen drops a key that
    // comes before it is marked drawn, a moment after the picture is out; a key typed into that
    // moment is typed again.
    static bool pressUntil(PtySession& session, const char* key, std::string_view text,
                           std::size_t times = 1) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            session.send(key);
            const bool shown = session.waitForOutput(
                [&](std::string_view output) {
                    std::size_t found = 0;
                    for (auto at = output.find(text); at != std::string_view::npos;
                         at = output.find(text, at + 1)) {
                        ++found;
                    }
                    return found >= times;
                },
                std::chrono::milliseconds(3000));
            if (shown) {
                return true;
            }
        }
        return false;
    }

    const testing::TempFolder home_{"brickstorm-settings-"};
};

TEST_F(SettingsProgramTest, ColourFromTheConfigurationFile) {
    write("config/brickstorm/brickstorm.conf", "# mine\ncolor = always\n");
    PtySession::Options run = options({});
    run.environment.insert(run.environment.end(), {"TERM=xterm", "COLORTERM=truecolor"});
    PtySession session(run);
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForOutputContaining("- Press any key to continue -")) << "no title";
    ASSERT_TRUE(pressUntil(session, "x", "LEVEL 1")) << "no level screen";
    EXPECT_TRUE(pressUntil(session, "x", "\x1b[38;2;")) << "no coloured frame";
    session.sendSignal(SIGTERM);
    EXPECT_TRUE(session.waitForExit().has_value());
}

TEST_F(SettingsProgramTest, ABrokenConfigurationFileLeavesTheTerminalUntouched) {
    const std::string file = write("config/brickstorm/brickstorm.conf", "fit = true\ncolor = green\n");
    PtySession session(options({}));
    ASSERT_TRUE(session.started());
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 2);
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
    // Standard error is the terminal here: the message and nothing else, no screen taken.
    const std::string expected =
        "brickstorm: " + file + ":2: bad value 'green' for color: always, auto or never\r\n";
    EXPECT_TRUE(session.waitForOutput([&](std::string_view output) { return output == expected; }))
        << session.output();
}

TEST_F(SettingsProgramTest, TheLevelReachedIsContinuedInTheNextRun) {
    write("config/brickstorm/brickstorm.conf", "key forward = z\n");
    const std::string one = write("one.lvl", kOneStep);
    const std::string two = write("two.lvl", kTwoByTwo);
    {
        PtySession session(options({one, two}));
        ASSERT_TRUE(session.started());
        ASSERT_TRUE(session.waitForOutputContaining("- Press any key to continue -")) << "no title";
        ASSERT_TRUE(pressUntil(session, "x", "zasd - Movement & turning")) << "no level screen naming z";
        session.send("x");  // into the level; should it be dropped, the first z starts the level
        ASSERT_TRUE(pressUntil(session, "z", "LEVEL 2")) << "z did not lead through the first exit";
        // Within a second of reaching the level, the file says so.
        const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
        while (progressText().find(" 2\n") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const settings::ProgressReading reading = settings::readProgressText(progressText());
        EXPECT_FALSE(reading.damage.has_value());
        ASSERT_EQ(reading.progress.highest.size(), 1U) << progressText();
        EXPECT_EQ(reading.progress.highest.begin()->second, 2);
        session.sendSignal(SIGTERM);
        EXPECT_TRUE(session.waitForExit().has_value());
    }
    PtySession session(options({"--continue", one, two}));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForOutputContaining("- Press any key to continue -")) << "no title";
    EXPECT_TRUE(pressUntil(session, "x", "LEVEL 2")) << "not continued at level 2";
    EXPECT_EQ(session.output().find("LEVEL 1"), std::string::npos);
    session.sendSignal(SIGTERM);
    EXPECT_TRUE(session.waitForExit().has_value());
}

}  // namespace
}  // namespace brickstorm::platform
