// Brickstorm: a first-person block-world shooter for the text terminal.
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/config_reading.h"
#include "app/installed_pack.h"
#include "app/later_notices.h"
#include "app/level_files.h"
#include "app/level_folders.h"
#include "app/loops.h"
#include "app/progress_keeping.h"
#include "core/game_state.h"
#include "core/key_handler.h"
#include "platform/error_output.h"
#include "platform/terminal.h"
#include "platform/user_folders.h"
#include "screens/picture_layout.h"
#include "settings/control_names.h"
#include "settings/key_bindings.h"
#include "settings/progress.h"

namespace {

constexpr int kExitLevelFileError = 1;
constexpr int kExitUsageError = 2;
// A terminal that the game cannot be drawn on.
constexpr int kExitUnfitTerminal = 1;

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
    case app::Action::Check:
    case app::Action::Play: break;
    }

    // --pack stands for the pack's folder, and a folder among the level files for the level
    // files in it; only then is it known how many levels there are.
    const std::vector<std::string> names =
        commandLine.options.packPlaces.empty()
            ? commandLine.options.levelFiles
            : app::levelFilesWithPack(commandLine.options,
                                      app::packFolder(app::installedPackFolder(), app::sourcePackFolder()));
    const app::LevelFileList fileList = app::expandLevelFolders(names);
    for (const app::ReportLine& line : fileList.problems) {
        print(stderr, line.text);
    }
    const auto countError = app::levelCountError(fileList.files.size(), commandLine.options.startLevel);
    if (countError && fileList.problems.empty()) {
        print(stderr, app::usageErrorLine(*countError));
        return kExitUsageError;
    }

    // Every level file is read and checked before the terminal is touched, so that each mistake
    // is reported on a terminal left as it was.
    const std::vector<std::string>& files = fileList.files;
    const bool play = commandLine.action == app::Action::Play;
    app::LevelFilesReport levels = app::readLevelFiles(files, play);
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
    std::int32_t startLevel = commandLine.options.startLevel;
    if (const std::string file = app::progressFile(folders.state);
        !commandLine.options.noState && !file.empty()) {
        progress.emplace(file, settings::levelSetName(levels.levelTexts));
        const app::ProgressKeeper::Start start = progress->readAtStart();
        if (start.notice) {
            print(stderr, *start.notice);
        }
        if (commandLine.options.continueGame && start.reached) {
            startLevel = app::continuedLevel(*start.reached, files.size());
        }
    }

    // The program's one game state, shared by the threads under one lock.
    GameState game;
    if (!files.empty()) {
        game.levels = GameLevels(std::move(levels.levelTexts));
    }
    startAtLevel(game, startLevel);

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole({.fullRedraw = commandLine.options.fullRedraw,
                                                        .colour = commandLine.options.colour,
                                                        .colourDepth = commandLine.options.colourDepth});
    std::mutex stateLock;

    // The tick starts first so that its first tick normally requests the title before the
    // render thread looks.
    std::thread ticker([&] {
        const platform::CrashStack crashStack;
        app::tickLoop(game, stateLock);
    });
    const LayoutOptions layoutOptions{commandLine.options.fit, commandLine.options.cellAspect};
    const ControlNames controls = settings::controlNames(commandLine.options.keys);
    std::thread renderer([&] {
        const platform::CrashStack crashStack;
        app::renderLoop(
            game, stateLock, *console, [&] { return layoutNow(layoutOptions); }, controls);
    });

    // A level reached is written outside the lock, so that the tick never waits on the disk. A
    // failed write is told at once when standard error is not the game's terminal, and otherwise
    // once the terminal is the shell's again.
    app::LaterNotices notices;
    const bool errorsNow = !platform::errorOutputIsTerminal();
    std::thread progressKeeper;
    if (progress) {
        progressKeeper = std::thread([&] {
            const platform::CrashStack crashStack;
            app::progressLoop(game, stateLock, *progress, startLevel, [&](const std::string& line) {
                if (errorsNow) {
                    print(stderr, line);
                } else {
                    notices.add(line);
                }
            });
        });
    }

    platform::KeyReader keys;
    // The player's keys become the keys the rules know before the rules see them.
    settings::KeyTranslator translator(commandLine.options.keys);
    while (const auto code = keys.next()) {
        const int ruleCode = translator.translate(*code);
        const std::lock_guard lock(stateLock);
        handleKey(game, ruleCode);
    }
    // Input has ended for good; the game runs on until the process is ended from outside.
    ticker.join();
    renderer.join();
    if (progressKeeper.joinable()) {
        progressKeeper.join();
    }
    platform::endTerminalSession();
    print(stderr, notices.text());
}
