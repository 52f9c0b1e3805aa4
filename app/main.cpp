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
#include <vector>

#include "app/command_line.h"
#include "app/level_files.h"
#include "app/level_folders.h"
#include "app/live_game.h"
#include "app/loops.h"
#include "app/recording_files.h"
#include "app/terminal_replay.h"
#include "core/game_state.h"
#include "platform/appending_file.h"
#include "platform/terminal.h"
#include "recording/recording.h"
#include "recording/replay_check.h"
#include "screens/picture_layout.h"
#include "world/display_text.h"

namespace {

constexpr int kExitLevelFileError = 1;
constexpr int kExitUsageError = 2;

void print(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

// The layout for the window as it is now: asked on every render pass, so that a resized window
// is drawn at its new size on the next one.
brickstorm::PictureLayout layoutNow(const brickstorm::LayoutOptions& options) {
    const auto window = brickstorm::platform::windowSize();
    if (!window) {
        return brickstorm::chooseLayout(std::nullopt, options);
    }
    return brickstorm::chooseLayout(brickstorm::WindowSize{window->columns, window->lines, window->cellAspect},
                                    options);
}

// Plays `recording` back at its pace times `speed`, in place of a game; the exit status.
int replayInTerminal(const brickstorm::Recording& recording, const std::string& name, double speed,
                     brickstorm::GameState& game, std::mutex& stateLock, brickstorm::Console& console,
                     const std::function<brickstorm::PictureLayout()>& layout) {
    using namespace brickstorm;
    app::TerminalReplay replay(game, stateLock, recording, [&](std::int64_t tick) {
        // From the replay's thread, while the main thread waits for keys: the terminal is given
        // back (a frame in flight lands first) and the program ends with the message.
        platform::endTerminalSession();
        print(stderr, app::outOfStepLine(name, tick));
        std::fflush(stderr);
        std::_Exit(kExitLevelFileError);
    });
    const auto scaled = [speed](std::chrono::nanoseconds period) {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(period / speed);
    };
    std::jthread ticker([&](const std::stop_token& stop) {
        app::runPaced(
            scaled(app::kTickPeriod), [&] { replay.pass(); }, stop);
    });
    std::jthread renderer([&](const std::stop_token& stop) {
        app::renderLoop(game, stateLock, console, layout, scaled(app::kFramePeriod), stop);
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

}  // namespace

int main(int argc, char** argv) {
    using namespace brickstorm;

    // The command line is read before the terminal is touched: a mistake in it leaves the
    // terminal exactly as it was.
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const app::CommandLine commandLine = app::parseCommandLine(arguments);
    switch (commandLine.action) {
    case app::Action::ShowHelp: print(stdout, app::usageText()); return 0;
    case app::Action::ShowVersion: print(stdout, app::versionText()); return 0;
    case app::Action::UsageError:
        print(stderr, app::usageErrorLine(commandLine.error));
        return kExitUsageError;
    case app::Action::Check:
    case app::Action::Replay:
    case app::Action::CheckReplay:
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
            return kExitLevelFileError;
        }
        recording = std::move(read.recording);
    }

    // A folder among the level files stands for the level files in it; only then is it known
    // how many levels there are.
    const app::LevelFileList fileList = app::expandLevelFolders(commandLine.options.levelFiles);
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

    // The program's one game state, shared by the three threads under one lock.
    GameState game;
    if (!files.empty()) {
        game.levels = GameLevels(std::move(levels.levelTexts));
    }
    startAtLevel(game, replaying ? recording->header.startLevel : options.startLevel);

    if (commandLine.action == app::Action::CheckReplay) {
        const ReplayCheck check = checkReplay(*recording, game);
        print(stdout, check.report);
        if (check.outOfStepTick) {
            std::fflush(stdout);
            print(stderr, app::outOfStepLine(*options.replayFile, *check.outOfStepTick));
            return kExitLevelFileError;
        }
        return 0;
    }

    // A run to record gets its file before the terminal is touched, so that a file that cannot
    // be written is reported on a terminal left as it was.
    std::mutex stateLock;
    app::LiveGame live(game, stateLock);
    std::unique_ptr<platform::AppendingFile> recordingFile;
    if (options.recordFile) {
        const RecordingHeader header = app::recordingHeader(files, levels.identities, options.startLevel);
        if (const auto problem = app::createRecordingFile(*options.recordFile, header)) {
            print(stderr, *problem);
            return kExitLevelFileError;
        }
        recordingFile = std::make_unique<platform::AppendingFile>(*options.recordFile);
        if (!recordingFile->isOpen()) {
            print(stderr, "brickstorm: " + escapedForDisplay(*options.recordFile) + ": " +
                              escapedForDisplay(recordingFile->problem()) + "\n");
            return kExitLevelFileError;
        }
        live.record(header, [&](std::string_view lines) { return recordingFile->append(lines); });
    }

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole(
        {.fullRedraw = options.fullRedraw, .colour = options.colour, .colourDepth = options.colourDepth});
    const LayoutOptions layoutOptions{options.fit, options.cellAspect};
    const std::function<PictureLayout()> layout = [&] { return layoutNow(layoutOptions); };

    if (replaying) {
        return replayInTerminal(*recording, *options.replayFile, options.speed, game, stateLock, *console,
                                layout);
    }

    // The tick starts first so that its first tick normally requests the title before the
    // render thread looks.
    std::thread ticker([&] { app::runPaced(app::kTickPeriod, [&] { live.tick(); }); });
    std::thread renderer([&] { app::renderLoop(game, stateLock, *console, layout); });

    platform::KeyReader keys;
    while (const auto code = keys.next()) {
        live.key(*code);
    }
    // Input has ended for good; the game runs on until the process is ended from outside.
    ticker.join();
    renderer.join();
}
