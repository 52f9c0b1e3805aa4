#include "app/game_start.h"

#include <cstdio>
#include <utility>

#include "app/exit_status.h"
#include "app/installed_pack.h"
#include "app/level_folders.h"
#include "app/recording_files.h"
#include "platform/terminal.h"
#include "recording/replay_check.h"
#include "settings/progress.h"
#include "world/display_text.h"

namespace brickstorm::app {

namespace {

void print(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

// The names on the command line with --pack standing for the pack's folder, and each folder for
// the level files in it; only then is it known how many levels there are.
LevelFileList namedLevelFiles(const Options& options) {
    const std::vector<std::string> names =
        options.packPlaces.empty()
            ? options.levelFiles
            : levelFilesWithPack(options, packFolder(installedPackFolder(), sourcePackFolder()));
    return expandLevelFolders(names);
}

// Prints what the reading of the level files found: each problem on standard error and, for
// --check, each good file's summary on standard output, in the files' order.
void printLevelLines(const LevelFilesReport& levels, bool summaries) {
    for (const ReportLine& line : levels.lines) {
        if (line.problem) {
            std::fflush(stdout);  // the lines keep the files' order on a terminal
            print(stderr, line.text);
        } else if (summaries) {
            print(stdout, line.text);
        }
    }
}

// What the game remembers of this set of levels, read before the terminal is touched so that a
// word about a damaged file is seen; with --continue, the level reached before is the start.
void readProgress(const Options& options, const std::string& stateFolder, GameStart& start) {
    const std::string file = progressFile(stateFolder);
    if (start.recording || options.noState || file.empty()) {
        return;
    }
    start.progress.emplace(file, settings::levelSetName(start.levels.levelTexts));
    const ProgressKeeper::Start read = start.progress->readAtStart();
    if (read.notice) {
        print(stderr, *read.notice);
    }
    if (options.continueGame && read.reached) {
        start.startLevel = continuedLevel(*read.reached, start.files.size());
    }
}

}  // namespace

std::vector<std::string_view> argumentsOf(int argc, char** argv) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

std::optional<int> answerAtOnce(const CommandLine& line, const platform::UserFolders& folders) {
    switch (line.action) {
    case Action::ShowHelp: print(stdout, usageText(folders)); return kExitSuccess;
    case Action::ShowVersion: print(stdout, versionText()); return kExitSuccess;
    case Action::UsageError: print(stderr, usageErrorLine(line.error)); return kExitUsageError;
    case Action::SettingsError: print(stderr, line.error); return kExitUsageError;
    case Action::Edit:
    case Action::Replay:
    case Action::CheckReplay:
    case Action::Check:
    case Action::Play: break;
    }
    return std::nullopt;
}

std::variant<GameStart, int> readGameStart(const CommandLine& line, const platform::UserFolders& folders) {
    const Options& options = line.options;
    GameStart start;
    start.startLevel = options.startLevel;

    // A recording to replay is read whole and checked before anything else, and names the level
    // files its run was played with.
    if (options.replayFile) {
        RecordingFileResult read = readRecordingFile(*options.replayFile);
        if (!read.recording) {
            print(stderr, read.problem);
            return kExitRecordingError;
        }
        start.recording = std::move(read.recording);
    }

    const LevelFileList fileList = namedLevelFiles(options);
    for (const ReportLine& problem : fileList.problems) {
        print(stderr, problem.text);
    }
    const auto countError = levelCountError(fileList.files.size(), options.startLevel);
    if (countError && fileList.problems.empty()) {
        print(stderr, usageErrorLine(*countError));
        return kExitUsageError;
    }

    // Every level file is read and checked, so that each mistake is reported at once.
    start.files = start.recording ? replayLevelFiles(*start.recording, fileList.files) : fileList.files;
    const bool play = line.action != Action::Check;
    start.levels = readLevelFiles(start.files, play);
    if (start.recording) {
        const std::vector<std::string> problems = replayProblems(
            *options.replayFile, *start.recording, start.files, start.levels, options.replayAnyVersion);
        for (const std::string& problem : problems) {
            print(stderr, problem);
        }
        if (!problems.empty() || !fileList.problems.empty()) {
            return kExitLevelFileError;  // the level files given do not fit the recording
        }
        start.levels.lines.clear();  // said by the problems above, if anything
    }
    printLevelLines(start.levels, !play);
    if (!start.levels.allGood || !fileList.problems.empty()) {
        return kExitLevelFileError;
    }
    if (!play) {
        return kExitSuccess;
    }
    if (line.action != Action::CheckReplay && platform::dumbTerminal()) {
        print(stderr, std::string(kDumbTerminalLine));
        return kExitUnfitTerminal;
    }
    readProgress(options, folders.state, start);
    return start;
}

void setUpGame(GameState& game, GameStart& start) {
    if (!start.files.empty()) {
        game.levels = GameLevels(std::move(start.levels.levelTexts), std::move(start.levels.titles));
    }
    startAtLevel(game, start.recording ? start.recording->header.startLevel : start.startLevel);
}

int checkRecordedRun(const Recording& recording, const std::string& name, GameState& game) {
    const ReplayCheck check = checkReplay(recording, game);
    print(stdout, check.report);
    if (check.outOfStepTick) {
        std::fflush(stdout);
        print(stderr, outOfStepLine(name, *check.outOfStepTick));
        return kExitReplayOutOfStep;
    }
    if (check.cutAtTick) {
        std::fflush(stdout);
        print(stderr, cutOffLine(name, *check.cutAtTick));
        return kExitRecordingCutOff;
    }
    return kExitSuccess;
}

std::unique_ptr<platform::AppendingFile> startRecording(const std::string& path, const GameStart& start,
                                                        LiveGame& live) {
    const RecordingHeader header = recordingHeader(start.files, start.levels, start.startLevel);
    if (const auto problem = createRecordingFile(path, header)) {
        print(stderr, *problem);
        return nullptr;
    }
    auto file = std::make_unique<platform::AppendingFile>(path);
    if (!file->isOpen()) {
        print(stderr,
              "brickstorm: " + escapedForDisplay(path) + ": " + escapedForDisplay(file->problem()) + "\n");
        return nullptr;
    }
    platform::AppendingFile* appending = file.get();
    live.record(header, [appending](std::string_view lines) { return appending->append(lines); });
    return file;
}

}  // namespace brickstorm::app
