#include "app/editor_run.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "app/editor_files.h"
#include "app/editor_inbox.h"
#include "app/exit_status.h"
#include "app/game_runner.h"
#include "app/window_layout.h"
#include "core/game_state.h"
#include "core/game_tick.h"
#include "core/key_codes.h"
#include "core/key_handler.h"
#include "core/level_loading.h"
#include "editor/editor_keys.h"
#include "editor/editor_screen.h"
#include "editor/editor_session.h"
#include "platform/terminal.h"
#include "platform/user_folders.h"
#include "screens/picture_layout.h"
#include "screens/screens.h"
#include "settings/control_names.h"
#include "settings/key_bindings.h"
#include "world/display_text.h"

namespace brickstorm::app {

namespace {

using Clock = std::chrono::steady_clock;

// A level file that a folder played as a pack takes: its name ends in .lvl.
bool takenByPacks(const std::string& file) {
    constexpr std::string_view kLevelEnding = ".lvl";
    return file.size() >= kLevelEnding.size() &&
           std::string_view(file).substr(file.size() - kLevelEnding.size()) == kLevelEnding;
}
// How often the editor looks at the window's size when no key comes.
constexpr std::chrono::milliseconds kWindowCheckPeriod{100};
// The longest a change goes without a recovery copy.
constexpr std::chrono::seconds kRecoveryDelay{1};
// How often the play-test looks whether the game has ended.
constexpr std::chrono::milliseconds kPlayCheckPeriod{50};

// The editor on its own thread: keys from the inbox, the screen, the files.
class EditorRun {
public:
    EditorRun(const Options& options, OpenedLevel opened, Console& console, EditorInbox& inbox)
        : options_(options),
          file_(*options.editFile),
          session_(std::move(opened.level)),
          exists_(opened.exists),
          stamp_(opened.stamp),
          console_(console),
          inbox_(inbox),
          recoveryPath_(recoveryPathFor(file_, platform::userFolders().state)) {
        if (!recoveryPath_.empty() && recoveryCopyIsNewer(recoveryPath_, exists_ ? stamp_ : std::nullopt)) {
            session_.askToRestore();
        }
        std::string notes;
        if (exists_ && options.newLevelSize) {
            notes = "The file exists, so --size, the size of a new level, is not used.";
        }
        if (!takenByPacks(file_)) {
            // Said once, as the editor opens: the level still plays when named on its own.
            notes += std::string(notes.empty() ? "" : " ") + escapedForDisplay(file_) +
                     " does not end in .lvl: a folder played as a pack takes only its .lvl files.";
        }
        if (!notes.empty()) {
            session_.note(notes);
        }
    }

    // Runs until the editor is quit or its input ends; the exit status.
    int run() {
        draw(true);
        while (!ended_) {
            const Clock::time_point deadline = nextDeadline();
            const std::optional<int> code = inbox_.next(deadline);
            if (code) {
                actOnGroup(*code);
                continue;
            }
            if (inbox_.closed()) {
                // The terminal is gone: nothing can be asked, so the changes go to the copy.
                writeRecoveryNow();
                break;
            }
            if (keepRecoveryCopy()) {
                draw(true);
            } else {
                draw(false);
            }
        }
        inbox_.end();
        return status_;
    }

private:
    // Acts on `code` and on every key delivered with it, then composes the screen once: an arrow's
    // two codes, or keys that piled up while the last picture was made, cost one picture.
    void actOnGroup(int code) {
        std::optional<int> next = code;
        while (next) {
            act(*next);
            if (ended_) {
                break;  // what follows the key that ended the editor is not for it
            }
            next = inbox_.waiting();
        }
        keepRecoveryCopy();
        draw(true);
        if (ended_) {
            // Before the keys are answered: the reader must not go back for more.
            inbox_.end();
        }
        inbox_.handled();
    }

    Clock::time_point nextDeadline() const {
        const Clock::time_point check = Clock::now() + kWindowCheckPeriod;
        return recoveryDue_ && *recoveryDue_ < check ? *recoveryDue_ : check;
    }

    void act(int code) {
        if (const auto report = mouseReport(code)) {
            pointer(*report);
            return;
        }
        handle(session_.handleKey(code));
    }

    void pointer(const MouseReport& report) {
        if (report.action == MouseAction::Release) {
            session_.pointerReleased();
            return;
        }
        const auto cell = screen_.mapCellAt(report.column, report.line);
        if (!cell) {
            return;
        }
        if (report.action == MouseAction::Press) {
            session_.pointerPressed(cell->x, cell->z);
        } else {
            session_.pointerDragged(cell->x, cell->z);
        }
    }

    void handle(editor::EditorRequest request) {
        using editor::EditorRequest;
        switch (request) {
        case EditorRequest::None: break;
        case EditorRequest::Save: save(false, false); break;
        case EditorRequest::SaveAndQuit: save(true, false); break;
        case EditorRequest::Overwrite: save(false, true); break;
        case EditorRequest::OverwriteAndQuit: save(true, true); break;
        case EditorRequest::Quit:
            // Quitting without saving is on purpose: the copy of what was given up goes too.
            removeRecoveryCopy();
            ended_ = true;
            break;
        case EditorRequest::PlayTest: playTest(false); break;
        case EditorRequest::PlayTestHere: playTest(true); break;
        case EditorRequest::SaveAs: saveAs(session_.typedName()); break;
        case EditorRequest::RestoreRecovery: restore(); break;
        case EditorRequest::DiscardRecovery: removeRecoveryCopy(); break;
        }
    }

    // True when the file was written.
    bool save(bool thenQuit, bool overwrite) {
        if (changedOnDisk(file_, exists_ ? stamp_ : std::nullopt) && !overwrite) {
            session_.askToOverwrite(thenQuit);
            return false;
        }
        const platform::FileWriteResult result = saveLevelFile(file_, session_.level(), recoveryPath_);
        if (!result) {
            session_.saveFailed(result.problem);
            return false;
        }
        session_.saved();
        exists_ = true;
        stamp_ = levelFileOnDisk(file_);
        removeRecoveryCopy();
        if (!savedAsRecoveryPath_.empty()) {
            // Saved as another file: its changes from now on are kept under its own name, in a
            // copy this editor holds as it holds the first.
            recoveryPath_ = std::exchange(savedAsRecoveryPath_, {});
            recoveryLock_ = std::move(savedAsRecoveryLock_);
        }
        std::string note = "Saved " + escapedForDisplay(file_) + ".";
        if (!session_.problems().empty()) {
            note += " It cannot be played until its problems are mended: " + session_.problems().front().what +
                    ".";
        }
        session_.note(note);
        ended_ = thenQuit;
        return true;
    }

    // Saves to another file, which the editor edits from then on: the way out of a file that
    // cannot be written where it is. A file already there is not overwritten without asking; a
    // save that fails keeps the old name.
    void saveAs(const std::string& name) {
        const std::string recovery = recoveryPathFor(name, platform::userFolders().state);
        if (recovery != recoveryPath_) {
            auto lock = lockRecoveryCopy(name, recovery);
            if (std::holds_alternative<std::string>(lock)) {
                session_.saveFailed(escapedForDisplay(name) + " is being edited in another brickstorm");
                return;
            }
            savedAsRecoveryPath_ = recovery;
            savedAsRecoveryLock_ = std::move(std::get<platform::FileLock>(lock));
        }
        const std::string oldFile = std::exchange(file_, name);
        const bool oldExists = std::exchange(exists_, false);
        const auto oldStamp = std::exchange(stamp_, std::nullopt);
        if (save(false, false) || session_.question() != editor::EditorQuestion::None) {
            return;  // saved, or asked whether to overwrite the file of that name
        }
        // Not written: still the old file's editor, every change kept.
        file_ = oldFile;
        exists_ = oldExists;
        stamp_ = oldStamp;
        savedAsRecoveryPath_.clear();
        savedAsRecoveryLock_ = platform::FileLock{};
    }

    void restore() {
        if (auto level = readEditableLevel(recoveryPath_)) {
            session_.restore(std::move(*level));
            recoveryVersion_ = session_.levelVersion();
            session_.note("The recovery copy is restored: its changes are not saved yet.");
            return;
        }
        session_.note("The recovery copy cannot be read; it is left at " + escapedForDisplay(recoveryPath_) +
                      ".");
    }

    // Schedules and writes the recovery copy; true when something for the status line changed.
    bool keepRecoveryCopy() {
        if (recoveryPath_.empty()) {
            return false;
        }
        if (!session_.unsaved()) {
            recoveryDue_.reset();
            if (recoveryVersion_) {
                removeRecoveryCopy();  // undone back to what the file holds
            }
            return false;
        }
        if (recoveryVersion_ == session_.levelVersion()) {
            return false;
        }
        const Clock::time_point now = Clock::now();
        if (!recoveryDue_) {
            recoveryDue_ = now + kRecoveryDelay;
        }
        if (now < *recoveryDue_) {
            return false;
        }
        return writeRecoveryNow();
    }

    bool writeRecoveryNow() {
        recoveryDue_.reset();
        if (recoveryPath_.empty() || !session_.unsaved() || recoveryVersion_ == session_.levelVersion()) {
            return false;
        }
        const platform::FileWriteResult result = writeRecoveryCopy(recoveryPath_, session_.level());
        if (result) {
            recoveryVersion_ = session_.levelVersion();
            recoveryFailed_ = false;
            return false;
        }
        if (!recoveryFailed_) {
            // Said once, not on every change: the edits themselves are kept either way.
            session_.note("The recovery copy cannot be written (" + result.problem +
                          "); save with Ctrl+S to keep the changes.");
            recoveryFailed_ = true;
        }
        return true;
    }

    void removeRecoveryCopy() {
        recoveryDue_.reset();
        recoveryVersion_.reset();
        if (!recoveryPath_.empty()) {
            platform::removeFile(recoveryPath_);
        }
    }

    // The level as it is now, played with the game's own rules and loops in the same window,
    // until the exit is reached, the player dies, or Tab; from the player's start, or from the
    // cursor's cell facing the editor's way.
    void playTest(bool fromCursor) {
        GameState game;
        const std::string text = session_.levelToPlay(fromCursor);
        game.levels = GameLevels({text});
        game.render.screenDrawn = true;  // straight into the game, as the level screen's key does
        startLevel(game, Level(text));
        if (fromCursor) {
            constexpr double kQuarterTurn = 90.0;
            game.player.facing = static_cast<Facing>(session_.view().facing);
            game.player.yaw = kQuarterTurn * session_.view().facing;
        }
        std::mutex lock;
        const LayoutOptions layout{options_.fit, options_.cellAspect};
        // The player's own keys, as in the game.
        const ControlNames controls = settings::controlNames(options_.keys);
        settings::KeyTranslator translator(options_.keys);
        GameRunner runner({.state = game,
                           .stateLock = lock,
                           .console = console_,
                           .layout = [layout] { return windowLayoutNow(layout); },
                           .controls = controls,
                           .tick =
                               [&] {
                                   const std::lock_guard held(lock);
                                   gameTick(game);
                               }});
        // The key that started it is answered now, so that the game's keys can come.
        inbox_.handled();
        std::string outcome = "Play-test over (Tab).";
        bool showsResult = false;  // ended by the game, which shows how on its own screen
        bool dismissed = false;    // a key came while that screen was up, before this loop saw it
        while (true) {
            const std::optional<int> code = inbox_.next(Clock::now() + kPlayCheckPeriod);
            if (!code && inbox_.closed()) {
                outcome.clear();
                ended_ = true;
                break;
            }
            if (code) {
                if (*code == editor::kKeySwitchView || *code == editor::kKeyInterrupt) {
                    inbox_.handled();
                    break;
                }
                if (!mouseReport(*code)) {
                    const std::lock_guard held(lock);
                    // Once the game has ended, its last screen is up and the key is the player's
                    // answer to it: handed to the game it would move on to the title screen.
                    if (game.screen == kScreenGame) {
                        handleKey(game, translator.translate(*code));
                    } else {
                        dismissed = true;
                    }
                }
                inbox_.handled();
            }
            const std::lock_guard held(lock);
            if (game.screen == kScreenDeath) {
                outcome = "Play-test over: " + game.render.deathMessage;
                showsResult = true;
                break;
            }
            if (game.screen != kScreenGame) {
                outcome = "Play-test over: the exit is reached.";
                showsResult = true;
                break;
            }
        }
        // Input gone, the program ends next: a frame the terminal does not take is not waited for.
        runner.stop(ended_);
        if (showsResult && !dismissed) {
            // The game's last screen stays until a key, which only dismisses it: a key meant for
            // the game, pressed as it ended, must not edit the level.
            ShownPictures shown;
            drawScreens(game, lock, console_, windowLayoutNow(layout), shown, controls);
            if (!waitForDismissal()) {
                outcome.clear();
                ended_ = true;
            }
        }
        session_.note(outcome);
        draw(true);
        if (ended_) {
            writeRecoveryNow();
        }
    }

    // Waits for a key, with the rest of the codes read with it, that does nothing but go on;
    // false when input ends first.
    bool waitForDismissal() {
        while (true) {
            if (inbox_.next(Clock::now() + kPlayCheckPeriod)) {
                bool more = true;
                while (more) {
                    more = inbox_.waiting().has_value();  // the rest of the key: an arrow's code
                }
                inbox_.handled();
                return true;
            }
            if (inbox_.closed()) {
                return false;
            }
        }
    }

    void draw(bool changed) {
        const PictureLayout layout = windowLayoutNow({true, options_.cellAspect});
        if (!changed && layout_ && *layout_ == layout) {
            console_.refresh();
            return;
        }
        layout_ = layout;
        const editor::ScreenFacts facts{file_, exists_, console_.colourDepth(), layout.cellAspect};
        console_.showPicture(screen_.compose(session_, facts, layout.columns, layout.lines));
    }

    const Options& options_;
    std::string file_;
    editor::EditorSession session_;
    bool exists_;
    std::optional<LevelFileOnDisk> stamp_;
    Console& console_;
    EditorInbox& inbox_;
    editor::EditorScreen screen_;
    std::optional<PictureLayout> layout_;
    std::string recoveryPath_;
    platform::FileLock recoveryLock_;  // held for a file saved as (the first file's is runEditor's)
    // The recovery copy and its lock for the name being saved as, taken on once it is written.
    std::string savedAsRecoveryPath_;
    platform::FileLock savedAsRecoveryLock_;
    std::optional<Clock::time_point> recoveryDue_;
    std::optional<std::uint64_t> recoveryVersion_;  // the level's version in the recovery copy
    bool recoveryFailed_ = false;
    bool ended_ = false;
    int status_ = 0;
};

// Hands the keys to the editor until it ends or input does, the codes of one read together;
// Ctrl+C as the editor's own key. A termination or a hang-up ends the editor as the end of input
// does, its changes kept in the recovery copy, and the program then ends by it. Neither waits for
// a terminal that has stopped reading: the editor's frames on it are given up, so that the copy
// is written at once.
KeysEnd passKeys(EditorInbox& inbox) {
    platform::KeyReader keys;
    std::vector<int> group;
    while (const std::optional<int> code = keys.next()) {
        int key = *code;
        if (key == kEndingRequestKey) {
            const platform::EndingRequest request = platform::takeEndingRequest();
            if (request == platform::EndingRequest::None) {
                continue;
            }
            if (request != platform::EndingRequest::Interrupt) {
                platform::stopWaitingOnTheTerminal();
                // Codes of the last read not yet handed over are dropped: the editor ends without
                // waiting on more keys, its changes in the recovery copy.
                inbox.close();
                return {.request = request};
            }
            key = editor::kKeyInterrupt;
        }
        group.push_back(key);
        if (keys.waiting()) {
            continue;
        }
        if (!inbox.deliver(group)) {
            return {};
        }
        group.clear();
    }
    platform::stopWaitingOnTheTerminal();
    inbox.close();
    return {.inputEnded = true, .terminalClosed = keys.fromTerminal()};
}

}  // namespace

int editKeys(const Options& options, OpenedLevel opened, Console& console, EditorInbox& inbox) {
    EditorRun run(options, std::move(opened), console, inbox);
    return run.run();
}

int runEditor(const Options& options) {
    const auto& size = options.newLevelSize;
    const editor::LevelSizes newSize =
        size ? editor::LevelSizes{(*size)[0], (*size)[1], (*size)[2]} : editor::kNewLevelSizes;
    auto opened = openLevelFile(*options.editFile, newSize);
    if (const auto* problem = std::get_if<std::string>(&opened)) {
        std::fputs(problem->c_str(), stderr);
        return kExitLevelFileError;
    }
    // Held until the editor ends: another editor of the same file is refused instead of taking
    // this one's recovery copy.
    auto recoveryLock =
        lockRecoveryCopy(*options.editFile, recoveryPathFor(*options.editFile, platform::userFolders().state));
    if (const auto* problem = std::get_if<std::string>(&recoveryLock)) {
        std::fputs(problem->c_str(), stderr);
        return kExitLevelFileError;
    }

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole({.fullRedraw = options.fullRedraw,
                                                        .colour = options.colour,
                                                        .colourDepth = options.colourDepth,
                                                        .lostOutputStatus = kExitUnfitTerminal});
    // Ctrl+C asks before anything is lost, and SIGTERM or SIGHUP keep the changes in the recovery
    // copy: all three come to the editor instead of ending the program on the spot.
    platform::deferEndingSignals(platform::EndingSignals::AskedToEndInOrder);
    platform::setMouseReporting(true);
    EditorInbox inbox;
    int status = 0;
    std::thread editorThread([&] {
        const platform::CrashStack crashStack;
        status = editKeys(options, std::move(std::get<OpenedLevel>(opened)), *console, inbox);
    });
    const KeysEnd end = passKeys(inbox);
    editorThread.join();
    platform::setMouseReporting(false);
    platform::endTerminalSession();
    recoveryLock = platform::FileLock{};  // let go before a signal may end the program
    if (end.request == platform::EndingRequest::None && !end.inputEnded) {
        return status;  // quit by its own key
    }
    endAfterRun(end, status);
}

}  // namespace brickstorm::app
