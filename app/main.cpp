// Brickstorm: a first-person block-world shooter for the text terminal.
#include <mutex>
#include <thread>

#include "core/game_state.h"
#include "core/key_handler.h"
#include "core/loops.h"
#include "platform/terminal.h"

int main() {
    using namespace brickstorm;

    platform::beginTerminalSession();
    const auto console = platform::makeTerminalConsole();

    // The program's one game state, shared by the three threads under one lock.
    GameState game;
    std::mutex stateLock;

    // The tick starts first so that its first tick normally requests the title before the
    // render thread looks.
    std::thread ticker([&] { tickLoop(game, stateLock); });
    std::thread renderer([&] { renderLoop(game, stateLock, *console); });

    platform::KeyReader keys;
    while (const auto code = keys.next()) {
        const std::lock_guard lock(stateLock);
        handleKey(game, *code);
    }
    // Input has ended for good; the game runs on until the process is ended from outside.
    ticker.join();
    renderer.join();
}
