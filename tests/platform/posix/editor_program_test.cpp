// The editor through the real program on a pseudo-terminal, read back through a terminal
// emulator: a new level made, cells set, a box filled across layers, undone and redone, saved
// (the saved text exactly, and --check on it); a play-test and back; recovery after SIGKILL;
// and a file refused for its shape before the terminal is touched.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "editor/recovery_name.h"
#include "support/file_contents.h"
#include "support/pty_session.h"
#include "support/temp_folder.h"
#include "support/vterm_screen.h"

namespace brickstorm::platform {
namespace {

using testing::fileExists;
using testing::fileText;

using testing::PtySession;
using testing::VtermScreen;

constexpr int kColumns = 80;
constexpr int kLines = 24;

constexpr const char* kUp = "\x1b[A";
constexpr const char* kLeft = "\x1b[D";
constexpr const char* kSave = "\x13";

// What a command prints on standard output and error, and its exit status.
std::pair<std::string, int> runCommand(const std::string& command) {
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char buffer[512];
    for (std::size_t n = 0; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// A scratch folder of the test's own: the level files and the state folder with the recovery
// copies.
class EditorProgramTest : public ::testing::Test {
protected:
    std::unique_ptr<PtySession> startEditor(const std::vector<std::string>& arguments) {
        PtySession::Options options;
        options.program = BRICKSTORM_BINARY;
        options.arguments = arguments;
        options.columns = kColumns;
        options.rows = kLines;
        options.environment = {"LC_ALL=C.UTF-8", "XDG_STATE_HOME=" + folder_.path() + "/state"};
        return std::make_unique<PtySession>(options);
    }

    // Waits until the window, as the emulator shows it, holds `text`.
    static bool waitForScreen(const PtySession& editor, const std::string& text) {
        const bool shown = editor.waitForOutput([&](std::string_view output) {
            VtermScreen window(kLines, kColumns);
            window.feed(output);
            return window.text(kLines, kColumns).find(text) != std::string::npos;
        });
        if (!shown) {
            ADD_FAILURE() << "not shown: " << text << "\n" << screenText(editor);
        }
        return shown;
    }

    // The recovery copy of `name` in the scratch folder, where the editor keeps it.
    std::string recoveryCopyOf(const std::string& name) const {
        char* real = ::realpath(folder_.path().c_str(), nullptr);
        if (real == nullptr) {
            ADD_FAILURE() << "no real path for " << folder_.path();
            return {};
        }
        std::string copy =
            folder_.path() + "/state/brickstorm/" + editor::recoveryFileName(std::string(real) + "/" + name);
        std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
        return copy;
    }

    // Waits until `path` exists: a recovery copy is due within a second of a change.
    static bool waitForFile(const std::string& path) {
        const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
        while (!fileExists(path) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return fileExists(path);
    }

    static std::string screenText(const PtySession& editor) {
        VtermScreen window(kLines, kColumns);
        window.feed(editor.output());
        return window.text(kLines, kColumns);
    }

    const testing::TempFolder folder_{"brickstorm-editor-"};
};

TEST_F(EditorProgramTest, ANewLevelIsDrawnUndoneRedoneSavedAndChecked) {
    const std::string level = folder_.path() + "/new.lvl";
    auto editor = startEditor({"--edit", level, "--size", "6x3x5"});
    ASSERT_TRUE(waitForScreen(*editor, "new.lvl  6x3x5  cursor 3,1,0 start  new file"));
    editor->send(kUp);
    editor->send("b");
    ASSERT_TRUE(waitForScreen(*editor, "cursor 3,1,1 block  unsaved changes"));
    // A box from (2, 1, 1) to (1, 2, 2), across two layers.
    editor->send(kLeft);
    editor->send("v");
    editor->send(kLeft);
    editor->send(kUp);
    editor->send("+");
    ASSERT_TRUE(waitForScreen(*editor, "box 2x2x2"));
    editor->send("b");
    ASSERT_TRUE(waitForScreen(*editor, "cursor 1,2,2 block  unsaved"));
    editor->send("u");
    ASSERT_TRUE(waitForScreen(*editor, "cursor 1,2,2 empty  box 2x2x2"));
    editor->send("r");
    ASSERT_TRUE(waitForScreen(*editor, "cursor 1,2,2 block  unsaved"));
    editor->send(kSave);
    ASSERT_TRUE(waitForScreen(*editor, "Saved"));
    EXPECT_EQ(fileText(level),
              "006 003 005\n"
              "\n# layer 0\nbbbbbb\nbbbbbb\nbbbbbb\nbbbbbb\nbbbbbb\n"
              "\n# layer 1\n000E00\n000000\n0bb000\n0bbb00\n000p00\n"
              "\n# layer 2\n000000\n000000\n0bb000\n0bb000\n000000\n");
    editor->send("q");  // nothing unsaved: no question
    const auto status = editor->waitForExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);

    const auto [report, checkStatus] = runCommand(std::string(BRICKSTORM_BINARY) + " --check " + level);
    EXPECT_EQ(checkStatus, 0);
    EXPECT_EQ(report, level + ": 6 x 3 x 5 cells, 0 enemies\n");
}

TEST_F(EditorProgramTest, APlayTestReturnsToTheEditorAsItWas) {
    const std::string level = folder_.path() + "/play.lvl";
    auto editor = startEditor({"--edit", level});
    ASSERT_TRUE(waitForScreen(*editor, "cursor 8,1,0 start"));
    editor->send(kUp);
    editor->send("v");
    editor->send(kUp);
    editor->send("b");  // a box of 1 x 1 x 2, to have a history
    ASSERT_TRUE(waitForScreen(*editor, "cursor 8,1,2 block"));
    editor->send("v");
    editor->send(kLeft);
    ASSERT_TRUE(waitForScreen(*editor, "box 2x1x1"));
    editor->send("t");
    ASSERT_TRUE(editor->waitForOutput([](std::string_view output) {
        VtermScreen window(kLines, kColumns);
        window.feed(output);
        return window.text(kLines, kColumns).find("Ready to play") == std::string::npos &&
               window.text(kLines, kColumns).find("box 2x1x1") == std::string::npos;
    }));
    editor->send("\t");
    ASSERT_TRUE(waitForScreen(*editor, "Play-test over (Tab)."));
    EXPECT_NE(screenText(*editor).find("cursor 7,1,2 empty  box 2x1x1  unsaved changes"), std::string::npos)
        << screenText(*editor);
    editor->send("u");  // the history came back too
    ASSERT_TRUE(waitForScreen(*editor, "cursor 8,1,2 empty  box 1x1x2"));
    editor->send("r");
    ASSERT_TRUE(waitForScreen(*editor, "cursor 8,1,2 block  unsaved"));
    editor->send("q");
    ASSERT_TRUE(waitForScreen(*editor, "before quitting?"));
    editor->send("n");
    ASSERT_TRUE(editor->waitForExit());
    EXPECT_FALSE(fileExists(level));
}

// A play-test that the game ends (the exit, a death) leaves the game's last screen up until a key,
// and that key only dismisses it: a key meant for the game does not edit the level.
TEST_F(EditorProgramTest, APlayTestsLastScreenWaitsForAKeyThatOnlyDismissesIt) {
    const std::string level = folder_.path() + "/short.lvl";
    std::ofstream(level) << "001 002 002\n\nb\nb\n\nE\np\n";
    auto editor = startEditor({"--edit", level});
    ASSERT_TRUE(waitForScreen(*editor, "cursor 0,1,0 start"));
    editor->send("t");
    ASSERT_TRUE(editor->waitForOutput([](std::string_view output) {
        VtermScreen window(kLines, kColumns);
        window.feed(output);
        return window.text(kLines, kColumns).find("cursor 0,1,0") == std::string::npos;
    }));
    editor->send("w");  // onto the exit
    ASSERT_TRUE(waitForScreen(*editor, "You found the last exit."));
    editor->send(" ");  // Space would toggle the cursor's cell in the editor
    ASSERT_TRUE(waitForScreen(*editor, "Play-test over: the exit is reached."));
    const std::string screen = screenText(*editor);
    EXPECT_NE(screen.find("cursor 0,1,0 start"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("unsaved"), std::string::npos) << screen;
    editor->send("q");
    ASSERT_TRUE(editor->waitForExit());
    EXPECT_EQ(fileText(level), "001 002 002\n\nb\nb\n\nE\np\n");
}

// T plays from the cursor's cell facing the 3D view's way: one step right from the middle cell
// reaches the exit, which from the start (facing far, two cells away) no step does.
TEST_F(EditorProgramTest, APlayTestFromTheCursorStartsThereFacingTheViewsWay) {
    const std::string level = folder_.path() + "/row.lvl";
    std::ofstream(level) << "003 002 001\n\nbbb\n\np0E\n";
    auto editor = startEditor({"--edit", level});
    ASSERT_TRUE(waitForScreen(*editor, "cursor 0,1,0 start"));
    editor->send("\x1b[C");
    editor->send("]");
    ASSERT_TRUE(waitForScreen(*editor, "3D view from the cursor, looking right"));
    editor->send("T");
    ASSERT_TRUE(editor->waitForOutput([](std::string_view output) {
        VtermScreen window(kLines, kColumns);
        window.feed(output);
        return window.text(kLines, kColumns).find("cursor 1,1,0") == std::string::npos;
    }));
    editor->send("w");
    ASSERT_TRUE(waitForScreen(*editor, "You found the last exit."));
    editor->send("x");
    ASSERT_TRUE(waitForScreen(*editor, "Play-test over: the exit is reached."));
    EXPECT_NE(screenText(*editor).find("cursor 1,1,0 empty"), std::string::npos) << screenText(*editor);
    editor->send("q");
    ASSERT_TRUE(editor->waitForExit());
    EXPECT_EQ(fileText(level), "003 002 001\n\nbbb\n\np0E\n");
}

// A name a pack would not take is warned of once; save as writes the level under another name,
// which the editor edits from then on.
TEST_F(EditorProgramTest, SaveAsWritesAnotherFileAndEditsIt) {
    const std::string notes = folder_.path() + "/notes";
    auto editor = startEditor({"--edit", notes, "--size", "5x3x4"});
    ASSERT_TRUE(waitForScreen(*editor, "does not end in .lvl: a folder played"));
    editor->send(kUp);
    ASSERT_TRUE(waitForScreen(*editor, "cursor 2,1,1 empty"));
    EXPECT_EQ(screenText(*editor).find("does not end in .lvl"), std::string::npos);
    editor->send("E");
    // Not as a file that another editor has open: its recovery copy is that editor's.
    const std::string busy = folder_.path() + "/busy.lvl";
    auto other = startEditor({"--edit", busy});
    ASSERT_TRUE(waitForScreen(*other, "new file"));
    editor->send("\x17");
    editor->send(busy + "\r");
    ASSERT_TRUE(waitForScreen(*editor, "busy.lvl is being edited in"));
    EXPECT_FALSE(fileExists(busy));
    other->send("q");
    ASSERT_TRUE(other->waitForExit());
    editor->send("\x17");
    ASSERT_TRUE(waitForScreen(*editor, "Save as: _"));
    editor->send(folder_.path() + "/mine.lvx");
    editor->send(
        "\x7f"
        "l\r");
    ASSERT_TRUE(waitForScreen(*editor, "/mine.lvl."));
    EXPECT_NE(screenText(*editor).find("mine.lvl  5x3x4  cursor 2,1,1 exit"), std::string::npos)
        << screenText(*editor);
    EXPECT_FALSE(fileExists(notes));
    EXPECT_NE(fileText(folder_.path() + "/mine.lvl").find("\n# layer 1\n00E00\n00000\n00E00\n00p00\n"),
              std::string::npos);
    editor->send("b");
    editor->send(kSave);  // to the new name now
    ASSERT_TRUE(waitForScreen(*editor, "Saved"));
    editor->send("q");
    ASSERT_TRUE(editor->waitForExit());
    EXPECT_NE(fileText(folder_.path() + "/mine.lvl").find("\n# layer 1\n00E00\n00000\n00b00\n00p00\n"),
              std::string::npos);
    EXPECT_FALSE(fileExists(notes));
}

TEST_F(EditorProgramTest, AChangeSurvivesSigkillInTheRecoveryCopy) {
    const std::string level = folder_.path() + "/kept.lvl";
    {
        auto editor = startEditor({"--edit", level, "--size", "5x3x4"});
        ASSERT_TRUE(waitForScreen(*editor, "new file"));
        editor->send(kUp);
        editor->send("E");
        ASSERT_TRUE(waitForScreen(*editor, "cursor 2,1,1 exit  unsaved"));
        // The copy is due within a second of the change; the test waits for it to be there under
        // its own name (not the new file it is written to first).
        char* real = ::realpath(folder_.path().c_str(), nullptr);
        ASSERT_NE(real, nullptr);
        std::string copy =
            folder_.path() + "/state/brickstorm/" + editor::recoveryFileName(std::string(real) + "/kept.lvl");
        std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
        const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
        while (!fileExists(copy) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(fileExists(copy));
        editor->sendSignal(SIGKILL);
        ASSERT_TRUE(editor->waitForExit());
    }
    auto editor = startEditor({"--edit", level, "--size", "5x3x4"});
    ASSERT_TRUE(waitForScreen(*editor, "Restore them?"));
    editor->send("y");
    ASSERT_TRUE(waitForScreen(*editor, "The recovery copy is restored"));
    EXPECT_NE(screenText(*editor).find("unsaved changes"), std::string::npos);
    editor->send(kUp);
    ASSERT_TRUE(waitForScreen(*editor, "cursor 2,1,1 exit"));
    editor->send(kSave);
    ASSERT_TRUE(waitForScreen(*editor, "Saved"));
    editor->send("q");
    ASSERT_TRUE(editor->waitForExit());
    EXPECT_NE(fileText(level).find("\n# layer 1\n00E00\n00000\n00E00\n00p00\n"), std::string::npos);
    // Saved, the copy is gone.
    const auto [listing, ignored] = runCommand("ls '" + folder_.path() + "/state/brickstorm'");
    EXPECT_EQ(listing.find("recovery"), std::string::npos);
}

// The recovery copy holds changes that are nowhere else: once the file holds them, or they are
// undone or given up, it goes at once, before the editor ends.
TEST_F(EditorProgramTest, TheRecoveryCopyGoesWithTheChangesItHeld) {
    struct Case {
        const char* name;
        const char* keys;   // after a change whose copy was written
        const char* shown;  // on the screen once the keys are acted on; nothing: the editor ends
    };
    const Case cases[] = {
        {"saved", kSave, "Saved"},
        {"undone back to the file's text", "u", "cursor 2,1,1 empty  new file"},
        {"given up on quitting", "qn", nullptr},
    };
    for (const Case& c : cases) {
        const std::string name = std::string("copy-") + std::to_string(&c - cases) + ".lvl";
        const std::string copy = recoveryCopyOf(name);
        auto editor = startEditor({"--edit", folder_.path() + "/" + name, "--size", "5x3x4"});
        ASSERT_TRUE(waitForScreen(*editor, "new file")) << c.name;
        editor->send(kUp);
        editor->send("E");
        ASSERT_TRUE(waitForScreen(*editor, "cursor 2,1,1 exit  unsaved")) << c.name;
        ASSERT_TRUE(waitForFile(copy)) << c.name;
        if (std::string(c.keys) == "u") {
            editor->send(kLeft);  // the undo brings the cursor back: a screen to wait for
            ASSERT_TRUE(waitForScreen(*editor, "cursor 1,1,1")) << c.name;
        }
        editor->send(c.keys);
        if (c.shown != nullptr) {
            ASSERT_TRUE(waitForScreen(*editor, c.shown)) << c.name;
        } else {
            ASSERT_TRUE(editor->waitForExit()) << c.name;
        }
        EXPECT_FALSE(fileExists(copy)) << c.name;
        if (c.shown != nullptr) {
            editor->send("q");  // nothing unsaved: no question
            ASSERT_TRUE(editor->waitForExit()) << c.name;
        }
    }
}

TEST_F(EditorProgramTest, ASecondEditorOfTheSameFileIsRefusedAndTheFirstsCopyKept) {
    const std::string level = folder_.path() + "/twice.lvl";
    auto first = startEditor({"--edit", level, "--size", "5x3x4"});
    ASSERT_TRUE(waitForScreen(*first, "new file"));
    first->send(kUp);
    first->send("E");
    ASSERT_TRUE(waitForScreen(*first, "cursor 2,1,1 exit  unsaved"));
    char* real = ::realpath(folder_.path().c_str(), nullptr);
    ASSERT_NE(real, nullptr);
    const std::string copy =
        folder_.path() + "/state/brickstorm/" + editor::recoveryFileName(std::string(real) + "/twice.lvl");
    std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
    const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
    while (!fileExists(copy) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(fileExists(copy));

    // The second one cannot take the first one's copy (nor answer its question, nor delete it).
    auto second = startEditor({"--edit", level});
    const auto status = second->waitForExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1);
    EXPECT_EQ(second->output(), "brickstorm: " + level +
                                    ": being edited in another brickstorm (its recovery copy is that "
                                    "editor's); close that one first, or edit a copy under another name\r\n");
    EXPECT_TRUE(testing::sameSettings(second->settings(), second->initialSettings()));
    EXPECT_TRUE(fileExists(copy));

    // The first one killed, its copy is there to restore.
    first->sendSignal(SIGKILL);
    ASSERT_TRUE(first->waitForExit());
    auto third = startEditor({"--edit", level, "--size", "5x3x4"});
    ASSERT_TRUE(waitForScreen(*third, "Restore them?"));
    third->send("n");
    ASSERT_TRUE(waitForScreen(*third, "new file"));
    third->send("q");
    ASSERT_TRUE(third->waitForExit());
}

TEST_F(EditorProgramTest, AFileChangedOnDiskIsNotOverwrittenWithoutAsking) {
    struct Case {
        const char* name;
        const char* ours;  // the file when the editor opens it; nothing: a new level
        const char* first;
        const char* arrow;  // to the cell that b sets
        const char* changed;
        const char* asked;
        const char* saved;
    };
    const Case cases[] = {
        {"changed", "002 001 001\npE\n", "cursor 0,0,0 start", "\x1b[C", "cursor 1,0,0 block  unsaved",
         "shared-0.lvl has changed on disk since it was read. Overwrite it?",
         "002 001 001\n\n# layer 0\npb\n"},
        // A new level's file that someone else makes meanwhile is theirs as much.
        {"made where a new level was", nullptr, "cursor 1,0,0 start", kLeft, "cursor 0,0,0 block  unsaved",
         "shared-1.lvl exists already. Overwrite it?", "002 001 001\n\n# layer 0\nbp\n"},
    };
    const std::string theirs = "003 001 001\npE0\n";
    for (const Case& c : cases) {
        const std::string level = folder_.path() + "/shared-" + std::to_string(&c - cases) + ".lvl";
        if (c.ours != nullptr) {
            std::ofstream(level) << c.ours;
        }
        auto editor = startEditor({"--edit", level, "--size", "2x1x1"});
        ASSERT_TRUE(waitForScreen(*editor, c.first)) << c.name;
        editor->send(c.arrow);
        editor->send("b");
        ASSERT_TRUE(waitForScreen(*editor, c.changed)) << c.name;
        std::ofstream(level) << theirs;  // someone else saves meanwhile
        editor->send(kSave);
        ASSERT_TRUE(waitForScreen(*editor, c.asked)) << c.name;
        editor->send("x");
        ASSERT_TRUE(waitForScreen(*editor, "Not saved: the file on disk is left as it is")) << c.name;
        EXPECT_EQ(fileText(level), theirs) << c.name;
        editor->send(kSave);
        ASSERT_TRUE(waitForScreen(*editor, "Overwrite it?")) << c.name;
        editor->send("y");
        ASSERT_TRUE(waitForScreen(*editor, "Saved")) << c.name;
        EXPECT_EQ(fileText(level), c.saved) << c.name;
        editor->send("q");
        ASSERT_TRUE(editor->waitForExit()) << c.name;
    }
}

TEST_F(EditorProgramTest, AFileOfTheWrongShapeIsRefusedBeforeTheTerminalIsTouched) {
    const std::string level = folder_.path() + "/short.lvl";
    std::ofstream(level) << "002 001 002\np0\n";
    auto editor = startEditor({"--edit", level});
    const auto status = editor->waitForExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1);
    EXPECT_EQ(editor->output(),
              "brickstorm: " + level + ":3:1: the level needs 2 x 1 x 2 = 4 cells, found 2\r\n");
    EXPECT_TRUE(testing::sameSettings(editor->settings(), editor->initialSettings()));

    // Contents the game refuses still open, for mending.
    const std::string noExit = folder_.path() + "/no-exit.lvl";
    std::ofstream(noExit) << "# A title\n002 001 001\np0\n";
    auto mending = startEditor({"--edit", noExit});
    ASSERT_TRUE(waitForScreen(*mending, "Not ready to play: no exit: the level needs at least one E."));
    mending->send("\x1b[C");
    mending->send("E");
    mending->send(kSave);
    ASSERT_TRUE(waitForScreen(*mending, "Saved"));
    mending->send("q");
    ASSERT_TRUE(mending->waitForExit());
    EXPECT_EQ(fileText(noExit), "# A title\n002 001 001\n\n# layer 0\npE\n");
}

}  // namespace
}  // namespace brickstorm::platform
