// Brickstorm: a first-person block-world shooter for the text terminal.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/config_reading.h"
#include "app/editor_run.h"
#include "app/exit_status.h"
#include "app/game_start.h"
#include "app/later_notices.h"
#include "app/live_game.h"
#include "app/loops.h"
#include "app/progress_keeping.h"
#include "app/recording_files.h"
#include "app/terminal_replay.h"
#include "app/window_layout.h"
#include "core/game_state.h"
#include "core/key_codes.h"
#include "platform/appending_file.h"
#include "platform/error_output.h"
#include "platform/terminal.h"
#include "platform/user_folders.h"
#include "recording/recording.h"
#include "screens/picture_layout.h"
#include "settings/control_names.h"
#include "settings/key_bindings.h"

namespace {

constexpr int kExitLevelFileError = 1;

void print(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

// Plays `recording` back at its pace times `speed`, in place of a game; the exit status.
int replayInTerminal(const brickstorm::Recording& recording, const std::string& name, double speed,
                     brickstorm::GameState& game, std::mutex& stateLock, brickstorm::Console& console,
                     const std::function<brickstorm::PictureLayout()>& layout,
                     const brickstorm::ControlNames& controls) {
    using namespace brickstorm;
    app::TerminalReplay replay(
        game, stateLock, recording,
        [&](std::int64_t tick) {
            // From the replay's thread, while the main thread waits for keys: the terminal is given
            // back (a frame in flight lands first) and the program ends with the message.
            platform::endTerminalSession();
            print(stderr, app::outOfStepLine(name, tick));
            std::fflush(stderr);
            std::_Exit(kExitLevelFileError);
        },
        speed);
    // The window says it is a replay, its pace and where it is, on every picture.
    app::CaptionedConsole captioned(
        console, [&] { return replay.caption(); }, [] { return app::windowLinesNow(); });
    const auto scaled = [speed](std::chrono::nanoseconds period) {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(period / speed);
    };
    std::jthread ticker([&](const std::stop_token& stop) {
        const platform::CrashStack crashStack;
        app::runPaced(
            scaled(app::kTickPeriod), [&] { replay.pass(); }, stop);
    });
    std::jthread renderer([&](const std::stop_token& stop) {
        const platform::CrashStack crashStack;
        app::renderLoop(game, stateLock, captioned, layout, controls, scaled(app::kFramePeriod), stop);
    });
    platform::KeyReader keys;
    bool endedByKey = false;
    while (const auto code = keys.next()) {
        if (replay.typed(*code)) {
            endedByKey = true;
            break;
        }
    }
    if (!endedByKey) {
        // Input has ended: nobody can press the key that ends the replay, so its end does.
        replay.waitUntilOver();
    }
    ticker.request_stop();
    renderer.request_stop();
    ticker.join();
    renderer.join();
    platform::endTerminalSession();
    return 0;
}

// Hands the player's keys to the game, as the keys the rules know, until input ends (None) or
// the program is asked to end.
brickstorm::platform::EndingRequest playKeys(brickstorm::platform::KeyReader& keys,
                                             brickstorm::settings::KeyTranslator& translator,
                                             brickstorm::app::LiveGame& live) {
    using brickstorm::platform::EndingRequest;
    while (const auto code = keys.next()) {
        if (*code != brickstorm::kEndingRequestKey) {
            live.key(translator.translate(*code));
        } else if (const EndingRequest request = brickstorm::platform::takeEndingRequest();
                   request != EndingRequest::None) {
            return request;
        }
    }
    return EndingRequest::None;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brickstorm;

    // The command line and the configuration file are read before the terminal is touched: a
    // mistake in either leaves the terminal exactly as it was.
    const platform::UserFolders folders = platform::userFolders();
    const app::CommandLine commandLine =
        app::readSettings(app::argumentsOf(argc, argv), app::usualConfigFile(folders.settings));
    if (const auto status = app::answerAtOnce(commandLine, folders)) {
        return *status;
    }
    if (commandLine.action == app::Action::Edit) {
        return app::runEditor(commandLine.options);
    }
    const app::Options& options = commandLine.options;

    // So are the recording to replay, the level files, the terminal's fitness and the progress.
    auto read = app::readGameStart(commandLine, folders);
    if (const int* status = std::get_if<int>(&read)) {
        return *status;
    }
    app::GameStart& start = *std::get_if<app::GameStart>(&read);
    // What the running game below works with.
    const bool replaying = start.recording.has_value();
    const std::optional<Recording>& recording = start.recording;
    std::optional<app::ProgressKeeper>& progress = start.progress;
    const std::int32_t startLevel = start.startLevel;

    // The program's one game state, shared by the threads under one lock.
    GameState game;
    app::setUpGame(game, start);
    if (commandLine.action == app::Action::CheckReplay) {
        return app::checkRecordedRun(*recording, *options.replayFile, game);
    }

    // A run to record gets its file before the terminal is touched, so that a file that cannot
    // be written is reported on a terminal left as it was.
    std::mutex stateLock;
    app::LiveGame live(game, stateLock);
    std::unique_ptr<platform::AppendingFile> recordingFile;
    if (options.recordFile) {
        recordingFile = app::startRecording(*options.recordFile, start, live);
        if (!recordingFile) {
            return app::kExitRecordingError;
        }
    }

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole(
        {.fullRedraw = options.fullRedraw, .colour = options.colour, .colourDepth = options.colourDepth});
    const LayoutOptions layoutOptions{options.fit, options.cellAspect};
    const std::function<PictureLayout()> layout = [&] { return app::windowLayoutNow(layoutOptions); };
    const ControlNames controls = settings::controlNames(options.keys);

    if (replaying) {
        return replayInTerminal(*recording, *options.replayFile, options.speed, game, stateLock, *console,
                                layout, controls);
    }

    // The tick starts first so that its first tick normally requests the title before the
    // render thread looks.
    std::jthread ticker([&](const std::stop_token& stop) {
        const platform::CrashStack crashStack;
        app::runPaced(
            app::kTickPeriod, [&] { live.tick(); }, stop);
    });
    std::jthread renderer([&](const std::stop_token& stop) {
        const platform::CrashStack crashStack;
        app::renderLoop(game, stateLock, *console, layout, controls, stop);
    });

    // A level reached is written outside the lock, so that the tick never waits on the disk. A
    // failed write is told at once when standard error is not the game's terminal, and otherwise
    // once the terminal is the shell's again.
    app::LaterNotices notices;
    const bool errorsNow = !platform::errorOutputIsTerminal();
    const auto reportProgress = [&](const std::string& line) {
        if (errorsNow) {
            print(stderr, line);
        } else {
            notices.add(line);
        }
    };
    std::jthread progressKeeper;
    if (progress) {
        progressKeeper = std::jthread([&](const std::stop_token& stop) {
            const platform::CrashStack crashStack;
            app::progressLoop(game, stateLock, *progress, startLevel, reportProgress, stop);
        });
    }

    // From here on Ctrl+C, SIGTERM and SIGHUP come to the key loop as requests to end.
    platform::deferEndingSignals(true);
    platform::KeyReader keys;
    // The player's keys become the keys the rules know before the rules see them.
    settings::KeyTranslator translator(options.keys);
    const platform::EndingRequest request = playKeys(keys, translator, live);
    if (request == platform::EndingRequest::None) {
        // Input has ended for good: nothing more can be asked of the game, which runs on until
        // the process is ended from outside, as any program reading a closed input would.
        platform::deferEndingSignals(false);
        ticker.join();  // the tick never stops by itself: only a signal ends the program now
        return 0;
    }
    // Ctrl+C, SIGTERM or SIGHUP: the game ends in order, so that the recording gets its end and
    // the progress its last level before the terminal is given back and the notices are told.
    ticker.request_stop();
    renderer.request_stop();
    progressKeeper.request_stop();
    ticker.join();
    renderer.join();
    if (progressKeeper.joinable()) {
        progressKeeper.join();
    }
    live.finish();
    platform::endTerminalSession();
    print(stderr, notices.text());
    std::fflush(stderr);
    platform::endAsRequested(request);
}
