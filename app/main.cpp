// Brickstorm: a first-person block-world shooter for the text terminal.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/config_reading.h"
#include "app/editor_run.h"
#include "app/exit_status.h"
#include "app/installed_pack.h"
#include "app/level_files.h"
#include "app/level_folders.h"
#include "app/live_game.h"
#include "app/progress_keeping.h"
#include "app/recording_files.h"
#include "app/terminal_play.h"
#include "core/game_state.h"
#include "platform/appending_file.h"
#include "platform/terminal.h"
#include "platform/user_folders.h"
#include "recording/recording.h"
#include "recording/replay_check.h"
#include "settings/progress.h"
#include "world/display_text.h"

namespace {

using brickstorm::app::kExitLevelFileError;
using brickstorm::app::kExitRecordingError;
using brickstorm::app::kExitReplayOutOfStep;
using brickstorm::app::kExitSuccess;
using brickstorm::app::kExitUnfitTerminal;
using brickstorm::app::kExitUsageError;

void print(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

}  // namespace

int main(int argc, char** argv) {
    using namespace brickstorm;

    // The command line and the configuration file are read before the terminal is touched: a
    // mistake in either leaves the terminal exactly as it was.
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const platform::UserFolders folders = platform::userFolders();
    const app::CommandLine commandLine = app::readSettings(arguments, app::usualConfigFile(folders.settings));
    switch (commandLine.action) {
    case app::Action::ShowHelp: print(stdout, app::usageText(folders)); return 0;
    case app::Action::ShowVersion: print(stdout, app::versionText()); return 0;
    case app::Action::UsageError:
        print(stderr, app::usageErrorLine(commandLine.error));
        return kExitUsageError;
    case app::Action::SettingsError: print(stderr, commandLine.error); return kExitUsageError;
    case app::Action::Edit: return app::runEditor(commandLine.options);
    case app::Action::Replay:
    case app::Action::CheckReplay:
    case app::Action::Check:
    case app::Action::Play: break;
    }
    const app::Options& options = commandLine.options;

    // A recording to replay is read whole and checked before anything else, and names the level
    // files its run was played with.
    const bool replaying = options.replayFile.has_value();
    std::optional<Recording> recording;
    if (replaying) {
        app::RecordingFileResult read = app::readRecordingFile(*options.replayFile);
        if (!read.recording) {
            print(stderr, read.problem);
            return kExitRecordingError;
        }
        recording = std::move(read.recording);
    }

    // --pack stands for the pack's folder, and a folder among the level files for the level
    // files in it; only then is it known how many levels there are.
    const std::vector<std::string> names =
        options.packPlaces.empty()
            ? options.levelFiles
            : app::levelFilesWithPack(commandLine.options,
                                      app::packFolder(app::installedPackFolder(), app::sourcePackFolder()));
    const app::LevelFileList fileList = app::expandLevelFolders(names);
    for (const app::ReportLine& line : fileList.problems) {
        print(stderr, line.text);
    }
    const auto countError = app::levelCountError(fileList.files.size(), options.startLevel);
    if (countError && fileList.problems.empty()) {
        print(stderr, app::usageErrorLine(*countError));
        return kExitUsageError;
    }

    // Every level file is read and checked before the terminal is touched, so that each mistake
    // is reported on a terminal left as it was.
    const std::vector<std::string> files =
        replaying ? app::replayLevelFiles(*recording, fileList.files) : fileList.files;
    const bool play = commandLine.action != app::Action::Check;
    app::LevelFilesReport levels = app::readLevelFiles(files, play);
    if (replaying) {
        const std::vector<std::string> problems =
            app::replayProblems(*options.replayFile, *recording, files, levels, options.replayAnyVersion);
        for (const std::string& problem : problems) {
            print(stderr, problem);
        }
        if (!problems.empty() || !fileList.problems.empty()) {
            return kExitLevelFileError;
        }
        levels.lines.clear();  // said by the problems above, if anything
    }
    for (const app::ReportLine& line : levels.lines) {
        if (line.problem) {
            std::fflush(stdout);  // the lines keep the files' order on a terminal
            print(stderr, line.text);
        } else if (!play) {
            print(stdout, line.text);
        }
    }
    if (!levels.allGood || !fileList.problems.empty()) {
        return kExitLevelFileError;
    }
    if (!play) {
        return 0;
    }
    if (platform::dumbTerminal()) {
        print(stderr,
              "brickstorm: this terminal (TERM=dumb) cannot place the cursor or switch screens, which "
              "the game needs; run it in a terminal emulator, or set TERM to the one in use\n");
        return kExitUnfitTerminal;
    }

    // What the game remembers of this set of levels, read before the terminal is touched so that
    // a word about a damaged file is seen.
    std::optional<app::ProgressKeeper> progress;
    std::int32_t startLevel = options.startLevel;
    if (const std::string file = app::progressFile(folders.state);
        !replaying && !options.noState && !file.empty()) {
        progress.emplace(file, settings::levelSetName(levels.levelTexts));
        const app::ProgressKeeper::Start start = progress->readAtStart();
        if (start.notice) {
            print(stderr, *start.notice);
        }
        if (options.continueGame && start.reached) {
            startLevel = app::continuedLevel(*start.reached, files.size());
        }
    }

    // The program's one game state, shared by the threads under one lock.
    GameState game;
    if (!files.empty()) {
        game.levels = GameLevels(std::move(levels.levelTexts));
    }
    startAtLevel(game, replaying ? recording->header.startLevel : startLevel);

    if (commandLine.action == app::Action::CheckReplay) {
        const ReplayCheck check = checkReplay(*recording, game);
        print(stdout, check.report);
        if (check.outOfStepTick) {
            std::fflush(stdout);
            print(stderr, app::outOfStepLine(*options.replayFile, *check.outOfStepTick));
            return kExitReplayOutOfStep;
        }
        return kExitSuccess;
    }

    // A run to record gets its file before the terminal is touched, so that a file that cannot
    // be written is reported on a terminal left as it was.
    std::mutex stateLock;
    app::LiveGame live(game, stateLock);
    std::unique_ptr<platform::AppendingFile> recordingFile;
    if (options.recordFile) {
        const RecordingHeader header = app::recordingHeader(files, levels.identities, startLevel);
        if (const auto problem = app::createRecordingFile(*options.recordFile, header)) {
            print(stderr, *problem);
            return kExitRecordingError;
        }
        recordingFile = std::make_unique<platform::AppendingFile>(*options.recordFile);
        if (!recordingFile->isOpen()) {
            print(stderr, "brickstorm: " + escapedForDisplay(*options.recordFile) + ": " +
                              escapedForDisplay(recordingFile->problem()) + "\n");
            return kExitRecordingError;
        }
        live.record(header, [&](std::string_view lines) { return recordingFile->append(lines); });
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
