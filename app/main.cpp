// Brickstorm: a first-person block-world shooter for the text terminal.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/config_reading.h"
#include "app/editor_run.h"
#include "app/exit_status.h"
#include "app/game_start.h"
#include "app/live_game.h"
#include "app/progress_keeping.h"
#include "app/recording_files.h"
#include "app/terminal_play.h"
#include "core/game_state.h"
#include "platform/appending_file.h"
#include "platform/user_folders.h"
#include "recording/recording.h"

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

    if (replaying) {
        app::replayInTerminal(*recording, *options.replayFile, options, game, stateLock);
    }
    app::playInTerminal({.options = options,
                         .game = game,
                         .stateLock = stateLock,
                         .live = live,
                         .progress = progress ? &*progress : nullptr,
                         .startLevel = startLevel,
                         .recordName = options.recordFile.value_or("")});
}
