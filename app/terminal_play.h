#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "app/command_line.h"
#include "app/live_game.h"
#include "app/progress_keeping.h"
#include "core/game_state.h"
#include "recording/recording.h"

// The program's runs on the terminal, from taking it to the program's end: the game, and a
// recording played back. Everything that could be refused has been refused before: these take
// the terminal and give it back on every way out.
namespace brickstorm::app {

// What the game is played with: the state set at its first level, the live game over it (with
// its recording, if one is made, as `recordName`), and the progress kept, if any.
struct GamePlay {
    const Options& options;
    GameState& game;
    std::mutex& stateLock;
    LiveGame& live;
    ProgressKeeper* progress = nullptr;
    std::int32_t startLevel = 1;
    std::string recordName;
};

// Plays the game until the player ends it, the program is asked to end, or input ends; then
// ends the program in order: the recording's end line, the progress, the terminal given back,
// the notices kept for after the game, and the end by the signal that asked for it (SIGHUP if
// the terminal was closed) or the exit status (kExitWriteFailed if a file could not be written).
[[noreturn]] void playInTerminal(const GamePlay& play);

// Plays `recording` back at its pace times options.speed, in place of a game, on a state set at
// its first level, then ends the program: after the key that ends the replay, after the
// recording's end when the keys come from a file or a pipe that has ended, by SIGHUP when the
// terminal is closed, or with kExitReplayOutOfStep and its message when the run stops following
// the recording. `name` is the recording's file, for messages.
[[noreturn]] void replayInTerminal(const Recording& recording, const std::string& name, const Options& options,
                                   GameState& game, std::mutex& stateLock);

}  // namespace brickstorm::app
