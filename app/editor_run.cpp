#include "app/editor_run.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <variant>

#include "app/editor_files.h"
#include "app/editor_inbox.h"
#include "app/loops.h"
#include "app/window_layout.h"
#include "core/game_state.h"
#include "core/key_codes.h"
#include "core/key_handler.h"
#include "core/level_loading.h"
#include "editor/editor_keys.h"
#include "editor/editor_screen.h"
#include "editor/editor_session.h"
#include "platform/terminal.h"
#include "platform/user_folders.h"
#include "screens/picture_layout.h"
#include "settings/control_names.h"
#include "settings/key_bindings.h"
#include "world/display_text.h"

namespace brickstorm::app {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kExitFailure = 1;
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
        if (exists_ && options.newLevelSize) {
            session_.note("The file exists, so --size, the size of a new level, is not used.");
        }
    }

    // Runs until the editor is quit or its input ends; the exit status.
    int run() {
        draw(true);
        while (!ended_) {
            const Clock::time_point deadline = nextDeadline();
            const std::optional<int> code = inbox_.next(deadline);
            if (code) {
                act(*code);
                keepRecoveryCopy();
                draw(true);
                if (ended_) {
                    // Before the key is answered: the reader must not go back for another.
                    inbox_.end();
                }
                if (!std::exchange(keyAnswered_, false)) {
                    inbox_.handled();
                }
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
        case EditorRequest::PlayTest: playTest(); break;
        case EditorRequest::RestoreRecovery: restore(); break;
        case EditorRequest::DiscardRecovery: removeRecoveryCopy(); break;
        }
    }

    void save(bool thenQuit, bool overwrite) {
        if (changedOnDisk(file_, exists_ ? stamp_ : std::nullopt) && !overwrite) {
            session_.askToOverwrite(thenQuit);
            return;
        }
        const platform::FileWriteResult result = saveLevelFile(file_, session_.level(), recoveryPath_);
        if (!result) {
            session_.saveFailed(result.problem);
            return;
        }
        session_.saved();
        exists_ = true;
        stamp_ = levelFileOnDisk(file_);
        removeRecoveryCopy();
        std::string note = "Saved " + escapedForDisplay(file_) + ".";
        if (!session_.problems().empty()) {
            note += " It cannot be played until its problems are mended: " + session_.problems().front().what +
                    ".";
        }
        session_.note(note);
        ended_ = thenQuit;
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
    // until the exit is reached, the player dies, or Tab.
    void playTest() {
        GameState game;
        const std::string text = session_.level().levelString();
        game.levels = GameLevels({text});
        game.render.screenDrawn = true;  // straight into the game, as the level screen's key does
        startLevel(game, Level(text));
        std::mutex lock;
        std::stop_source stop;
        const LayoutOptions layout{options_.fit, options_.cellAspect};
        // The player's own keys, as in the game.
        const ControlNames controls = settings::controlNames(options_.keys);
        settings::KeyTranslator translator(options_.keys);
        std::thread ticker([&] {
            const platform::CrashStack crashStack;
            tickLoop(game, lock, stop.get_token());
        });
        std::thread renderer([&] {
            const platform::CrashStack crashStack;
            renderLoop(
                game, lock, console_, [&] { return windowLayoutNow(layout); }, controls, stop.get_token());
        });
        // The key that started it is answered now, so that the game's keys can come.
        inbox_.handled();
        keyAnswered_ = true;
        std::string outcome = "Play-test over (Tab).";
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
                    handleKey(game, translator.translate(*code));
                }
                inbox_.handled();
            }
            const std::lock_guard held(lock);
            if (game.screen == kScreenDeath) {
                outcome = "Play-test over: " + game.render.deathMessage;
                break;
            }
            if (game.screen != kScreenGame) {
                outcome = "Play-test over: the exit is reached.";
                break;
            }
        }
        stop.request_stop();
        ticker.join();
        renderer.join();
        session_.note(outcome);
        draw(true);
        if (ended_) {
            writeRecoveryNow();
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
    std::optional<Clock::time_point> recoveryDue_;
    std::optional<std::uint64_t> recoveryVersion_;  // the level's version in the recovery copy
    bool recoveryFailed_ = false;
    bool ended_ = false;
    bool keyAnswered_ = false;  // the key being acted on was answered already
    int status_ = 0;
};

// Hands the keys to the editor until it ends or input does; Ctrl+C as the editor's own key. A
// termination or a hang-up ends the editor as the end of input does, its changes kept in the
// recovery copy, and is returned so that the program ends by it.
platform::EndingRequest passKeys(EditorInbox& inbox) {
    platform::KeyReader keys;
    while (const std::optional<int> code = keys.next()) {
        int key = *code;
        if (key == kEndingRequestKey) {
            const platform::EndingRequest request = platform::takeEndingRequest();
            if (request == platform::EndingRequest::None) {
                continue;
            }
            if (request != platform::EndingRequest::Interrupt) {
                inbox.close();
                return request;
            }
            key = editor::kKeyInterrupt;
        }
        if (!inbox.deliver(key)) {
            return platform::EndingRequest::None;
        }
    }
    inbox.close();
    return platform::EndingRequest::None;
}

}  // namespace

int runEditor(const Options& options) {
    const auto& size = options.newLevelSize;
    const editor::LevelSizes newSize =
        size ? editor::LevelSizes{(*size)[0], (*size)[1], (*size)[2]} : editor::kNewLevelSizes;
    auto opened = openLevelFile(*options.editFile, newSize);
    if (const auto* problem = std::get_if<std::string>(&opened)) {
        std::fputs(problem->c_str(), stderr);
        return kExitFailure;
    }
    // Held until the editor ends: another editor of the same file is refused instead of taking
    // this one's recovery copy.
    auto recoveryLock =
        lockRecoveryCopy(*options.editFile, recoveryPathFor(*options.editFile, platform::userFolders().state));
    if (const auto* problem = std::get_if<std::string>(&recoveryLock)) {
        std::fputs(problem->c_str(), stderr);
        return kExitFailure;
    }

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole(
        {.fullRedraw = options.fullRedraw, .colour = options.colour, .colourDepth = options.colourDepth});
    // Ctrl+C asks before anything is lost, and SIGTERM or SIGHUP keep the changes in the recovery
    // copy: all three come to the editor instead of ending the program on the spot.
    platform::deferEndingSignals(true);
    platform::setMouseReporting(true);
    EditorInbox inbox;
    int status = 0;
    std::thread editorThread([&] {
        const platform::CrashStack crashStack;
        EditorRun run(options, std::move(std::get<OpenedLevel>(opened)), *console, inbox);
        status = run.run();
    });
    const platform::EndingRequest request = passKeys(inbox);
    editorThread.join();
    platform::setMouseReporting(false);
    platform::endTerminalSession();
    recoveryLock = platform::FileLock{};  // let go before a signal may end the program
    if (request != platform::EndingRequest::None) {
        platform::endAsRequested(request);
    }
    return status;
}

}  // namespace brickstorm::app
