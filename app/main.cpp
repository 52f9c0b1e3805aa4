// Brickstorm: a first-person block-world shooter for the text terminal.
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/editor_run.h"
#include "app/level_files.h"
#include "app/level_folders.h"
#include "app/loops.h"
#include "core/game_state.h"
#include "core/key_handler.h"
#include "platform/terminal.h"
#include "screens/picture_layout.h"

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
    case app::Action::Edit: return app::runEditor(commandLine.options);
    case app::Action::Check:
    case app::Action::Play: break;
    }

    // A folder among the level files stands for the level files in it; only then is it known
    // how many levels there are.
    const app::LevelFileList fileList = app::expandLevelFolders(commandLine.options.levelFiles);
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

    // The program's one game state, shared by the three threads under one lock.
    GameState game;
    if (!files.empty()) {
        game.levels = GameLevels(std::move(levels.levelTexts));
    }
    startAtLevel(game, commandLine.options.startLevel);

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole({.fullRedraw = commandLine.options.fullRedraw,
                                                        .colour = commandLine.options.colour,
                                                        .colourDepth = commandLine.options.colourDepth});
    std::mutex stateLock;

    // The tick starts first so that its first tick normally requests the title before the
    // render thread looks.
    std::thread ticker([&] { app::tickLoop(game, stateLock); });
    const LayoutOptions layoutOptions{commandLine.options.fit, commandLine.options.cellAspect};
    std::thread renderer(
        [&] { app::renderLoop(game, stateLock, *console, [&] { return layoutNow(layoutOptions); }); });

    platform::KeyReader keys;
    while (const auto code = keys.next()) {
        const std::lock_guard lock(stateLock);
        handleKey(game, *code);
    }
    // Input has ended for good; the game runs on until the process is ended from outside.
    ticker.join();
    renderer.join();
}
