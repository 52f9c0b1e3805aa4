// Brickstorm: a first-person block-world shooter for the text terminal.
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/command_line.h"
#include "app/loops.h"
#include "core/game_state.h"
#include "core/key_handler.h"
#include "platform/terminal.h"

namespace {

constexpr int kExitUsageError = 2;

void print(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

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
    case app::Action::Play: break;
    }

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole({.fullRedraw = commandLine.options.fullRedraw});

    // The program's one game state, shared by the three threads under one lock.
    GameState game;
    std::mutex stateLock;

    // The tick starts first so that its first tick normally requests the title before the
    // render thread looks.
    std::thread ticker([&] { app::tickLoop(game, stateLock); });
    std::thread renderer([&] { app::renderLoop(game, stateLock, *console); });

    platform::KeyReader keys;
    while (const auto code = keys.next()) {
        const std::lock_guard lock(stateLock);
        handleKey(game, *code);
    }
    // Input has ended for good; the game runs on until the process is ended from outside.
    ticker.join();
    renderer.join();
}
