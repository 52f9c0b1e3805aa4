// The real program on a pseudo-terminal that goes away or stops reading: a closed terminal ends
// every mode by SIGHUP after saving what it must, input at its end ends the game, a terminal that
// takes no more output cannot keep the program from ending, and a second ending signal never
// cuts the editor's recovery copy short.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/exit_status.h"
#include "editor/recovery_name.h"
#include "support/file_contents.h"
#include "support/pty_session.h"
#include "support/temp_folder.h"
#include "terminal/terminal_sequences.h"

namespace brickstorm::platform {
namespace {

using testing::fileExists;
using testing::fileText;

using testing::PtySession;
using namespace std::chrono_literals;

constexpr std::string_view kPrompt = "- Press any key to continue -";

// A line of a level file's cells (not a comment) holds `cell`.
bool hasCellLineWith(const std::string& text, char cell) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with('#') && line.find(cell) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool isRaw(const termios& settings) { return (settings.c_lflag & (ICANON | ECHO)) == 0; }

std::string describe(int status) {
    if (WIFSIGNALED(status)) {
        return std::string("ended by ") + strsignal(WTERMSIG(status));
    }
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

// A scratch folder for the files the program keeps (the state folder, levels, recordings).
class NeverStuck : public ::testing::Test {
protected:
    PtySession::Options program(std::vector<std::string> arguments) const {
        PtySession::Options options;
        options.program = BRICKSTORM_BINARY;
        options.arguments = std::move(arguments);
        options.environment = {"LC_ALL=C.UTF-8", "XDG_STATE_HOME=" + folder_.path() + "/state",
                               "XDG_CONFIG_HOME=" + folder_.path() + "/config"};
        return options;
    }

    // Types `key` until `condition` holds of the output since the first press: a text screen
    // takes keys only once it has been drawn, which the output shows a moment before.
    static bool pressUntil(PtySession& session, std::string_view key,
                           const std::function<bool(std::string_view)>& condition) {
        const std::size_t before = session.output().size();
        const auto since = [&](std::string_view shown) { return condition(shown.substr(before)); };
        for (int attempt = 0; attempt < 20; ++attempt) {
            session.send(key);
            if (session.waitForOutput(since, 500ms)) {
                return true;
            }
        }
        return false;
    }

    // From the title to the level screen, and on to the 3D view, whose first frame is large.
    static bool toTheLevelScreen(PtySession& session) {
        return pressUntil(session, "x",
                          [](std::string_view shown) { return shown.find("LEVEL 1") != shown.npos; });
    }
    static bool toTheView(PtySession& session) {
        constexpr std::size_t kSomeOfAFrame = 4000;
        return toTheLevelScreen(session) &&
               pressUntil(session, "x", [](std::string_view shown) { return shown.size() > kSomeOfAFrame; });
    }

    // Where the editor keeps its recovery copy of `name`, a file in the scratch folder.
    std::string recoveryCopyOf(const std::string& name) const {
        char* real = ::realpath(folder_.path().c_str(), nullptr);
        const std::string fullName = std::string(real) + "/" + name;
        std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
        return folder_.path() + "/state/brickstorm/" + editor::recoveryFileName(fullName);
    }

    static void expectEndedBy(PtySession& session, int signal) {
        const auto status = session.waitForExit();
        ASSERT_TRUE(status.has_value()) << "still running";
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << describe(*status);
    }

    const testing::TempFolder folder_{"brickstorm-stuck-"};
};

// Where a mode is reached from the start, and what shows it is there.
struct Mode {
    const char* name;
    std::vector<std::string> arguments;  // `@` stands for the scratch folder
    const char* shown;                   // on the terminal once the program has started
    int screensOn = 0;                   // 1: on to the level screen, 2: on to the 3D view
};

struct HangUpCase {
    Mode mode;
    int hangUpsPassedOn;
};

class HangUp : public NeverStuck, public ::testing::WithParamInterface<HangUpCase> {};

// Closing the terminal ends each mode by SIGHUP, whether the shell passes the hang-up on twice
// (as a closed window does) or not at all (only the input and output end).
TEST_P(HangUp, EndsEveryModeBySighup) {
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().mode.arguments) {
        arguments.push_back(argument[0] == '@' ? folder_.path() + argument.substr(1) : argument);
    }
    PtySession::Options options = program(arguments);
    options.hangUpsPassedOn = GetParam().hangUpsPassedOn;
    PtySession session(options);
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForSettings(isRaw)) << "never in raw mode";
    ASSERT_TRUE(session.waitForOutputContaining(GetParam().mode.shown)) << session.output();
    if (GetParam().mode.screensOn == 1) {
        ASSERT_TRUE(toTheLevelScreen(session));
    } else if (GetParam().mode.screensOn == 2) {
        ASSERT_TRUE(toTheView(session));
    }
    session.hangUp();
    expectEndedBy(session, SIGHUP);
}

const Mode kTitle{"Title", {}, "- Press any key to continue -"};
const Mode kLevelScreen{"LevelScreen", {}, "- Press any key to continue -", 1};
const Mode kView{"View", {}, "- Press any key to continue -", 2};
const Mode kReplay{
    "Replay",
    {"--replay", BRICKSTORM_TEST_DATA "/pack.rec", "--replay-any-version", BRICKSTORM_TEST_DATA "/pack"},
    "- Press any key to continue -"};
const Mode kEditor{"Editor", {"--edit", "@/new.lvl"}, "new file"};

INSTANTIATE_TEST_SUITE_P(, HangUp,
                         ::testing::Values(HangUpCase{kTitle, 2}, HangUpCase{kTitle, 0},
                                           HangUpCase{kLevelScreen, 2}, HangUpCase{kLevelScreen, 0},
                                           HangUpCase{kView, 2}, HangUpCase{kView, 0}, HangUpCase{kReplay, 2},
                                           HangUpCase{kReplay, 0}, HangUpCase{kEditor, 2},
                                           HangUpCase{kEditor, 0}),
                         [](const auto& info) {
                             return std::string(info.param.mode.name) +
                                    (info.param.hangUpsPassedOn > 0 ? "TwoSighups" : "NoSignal");
                         });

// The game's orderly end after a hang-up: the recording gets its end line before the program
// ends by SIGHUP, though the shell passes the hang-up on twice.
TEST_F(NeverStuck, AHangUpEndsTheRecordingWithItsEndLine) {
    const std::string recording = folder_.path() + "/run.rec";
    PtySession session(program({"--record", recording}));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForOutputContaining(kPrompt));
    ASSERT_TRUE(toTheView(session));
    session.hangUp();
    expectEndedBy(session, SIGHUP);
    const std::string text = fileText(recording);
    const auto lastLine = text.rfind('\n', text.size() - 2);
    EXPECT_TRUE(text.substr(lastLine + 1).starts_with("end ")) << text.substr(lastLine + 1);
}

// A recording that cannot be written in full (here the file-size limit, with SIGXFSZ ignored as
// a shell may leave it) is told once the terminal is given back, and the exit status says so.
TEST_F(NeverStuck, ARecordingThatCannotBeWrittenIsToldAndTheStatusSaysSo) {
    const std::string recording = folder_.path() + "/run.rec";
    PtySession::Options options = program({"--record", recording});
    options.input = PtySession::Input::DevNull;
    {
        // A whole run first, to learn the size of the header, which is all the limit will let in.
        PtySession whole(options);
        ASSERT_TRUE(whole.started());
        const auto status = whole.waitForExit();
        ASSERT_TRUE(status.has_value());
        ASSERT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << describe(*status);
    }
    const std::string text = fileText(recording);
    const auto endLine = text.rfind("\nend ");
    ASSERT_NE(endLine, std::string::npos) << text;
    options.fileSizeLimit = endLine + 1;
    options.ignoredSignals = {SIGXFSZ};
    PtySession cut(options);
    ASSERT_TRUE(cut.started());
    const auto status = cut.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == app::kExitWriteFailed) << describe(*status);
    const std::string shown = cut.output();
    const auto givenBack = shown.rfind(terminal::kGiveBackScreen);
    const auto told = shown.find("brickstorm: " + recording + ": the recording cannot be written in full: ");
    ASSERT_NE(told, std::string::npos) << shown;
    EXPECT_GT(told, givenBack) << "told over the game's picture";
}

class StalledTerminal : public NeverStuck, public ::testing::WithParamInterface<int> {};

// A terminal that stops reading (a stalled connection) while the 3D view keeps changing: the
// drawing thread's frame cannot be written, and still the program ends by the first ending
// signal, with the terminal's settings put back (that needs no output).
TEST_P(StalledTerminal, CannotKeepTheGameFromEnding) {
    // A large window and whole frames: a few of them fill what the terminal holds.
    PtySession::Options options = program({"--full-redraw"});
    options.columns = 220;
    options.rows = 80;
    PtySession session(options);
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitForSettings(isRaw));
    ASSERT_TRUE(session.waitForOutputContaining(kPrompt));
    ASSERT_TRUE(toTheView(session));
    session.stopReading();
    bool full = false;
    for (int turn = 0; turn < 100 && !full; ++turn) {
        session.send("a");
        full = session.waitUntilOutputIsFull(400ms);
    }
    ASSERT_TRUE(full) << "the game never filled the terminal";
    session.send("a");  // a frame still to draw, which the terminal cannot take
    session.sendSignal(GetParam());
    const auto status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "held by the stalled terminal";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == GetParam()) << describe(*status);
    EXPECT_TRUE(testing::sameSettings(session.settings(), session.initialSettings()))
        << testing::settingsDifference(session.settings(), session.initialSettings());
}

INSTANTIATE_TEST_SUITE_P(, StalledTerminal, ::testing::Values(SIGTERM, SIGINT, SIGHUP, SIGQUIT),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// How the editor's input ends, right after a change: by signals (the same one twice, as a closed
// window sends SIGHUP, must not cut the copy short) or by the terminal closing.
struct EditorEnding {
    const char* name;
    std::vector<int> signals;  // sent one right after the other
    bool closeTerminal;
    int endsBy;
};

class EditorEndings : public NeverStuck, public ::testing::WithParamInterface<EditorEnding> {};

TEST_P(EditorEndings, KeepTheLastChangeInTheRecoveryCopy) {
    PtySession::Options options = program({"--edit", folder_.path() + "/kept.lvl", "--size", "5x3x4"});
    options.columns = 80;
    options.rows = 24;
    PtySession editor(options);
    ASSERT_TRUE(editor.started());
    ASSERT_TRUE(editor.waitForOutputContaining("new file"));
    // An exit placed: the copy is due a second later, so the ending must write it.
    editor.send("\x1b[A");
    editor.send("E");
    ASSERT_TRUE(editor.waitForOutputContaining("unsaved"));
    for (const int signal : GetParam().signals) {
        // Two of the same sent together arrive as one: the second waits a moment, so that it
        // comes while the editor is ending (how soon the editor ends does not change the outcome).
        if (signal != GetParam().signals.front()) {
            std::this_thread::sleep_for(1ms);
        }
        editor.sendSignal(signal);
    }
    if (GetParam().closeTerminal) {
        editor.hangUp();
    }
    expectEndedBy(editor, GetParam().endsBy);
    const std::string copy = recoveryCopyOf("kept.lvl");
    ASSERT_TRUE(fileExists(copy)) << "no recovery copy";
    EXPECT_TRUE(hasCellLineWith(fileText(copy), 'E')) << fileText(copy);
}

INSTANTIATE_TEST_SUITE_P(, EditorEndings,
                         ::testing::Values(EditorEnding{"Sighup", {SIGHUP}, false, SIGHUP},
                                           EditorEnding{"Sigterm", {SIGTERM}, false, SIGTERM},
                                           EditorEnding{"ClosedTerminal", {}, true, SIGHUP},
                                           EditorEnding{"SighupTwice", {SIGHUP, SIGHUP}, false, SIGHUP},
                                           EditorEnding{"SigtermTwice", {SIGTERM, SIGTERM}, false, SIGTERM}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brickstorm::platform
