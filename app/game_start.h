#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/level_files.h"
#include "app/live_game.h"
#include "app/progress_keeping.h"
#include "core/game_state.h"
#include "platform/appending_file.h"
#include "platform/user_folders.h"
#include "recording/recording.h"

// Everything the program reads and checks before the terminal is touched: the command line's
// answers that need no game, the recording to replay, the level files, --check's report, the
// terminal's fitness, the progress, and the file a run is recorded to. Each mistake is told on
// standard error, on a terminal left exactly as it was, with the exit status of its kind.
namespace brickstorm::app {

// The program's arguments after its name.
std::vector<std::string_view> argumentsOf(int argc, char** argv);

// Prints the help, the version or the mistake that the command line (with the configuration file)
// asks for, and gives the exit status; nothing for an action that goes on to a game, a replay, a
// check or the editor.
std::optional<int> answerAtOnce(const CommandLine& line, const platform::UserFolders& folders);

// What a game, a replay or its check starts from.
struct GameStart {
    std::optional<Recording> recording;      // the run to replay
    std::vector<std::string> files;          // the level files played, in order (none: the built-in levels)
    LevelFilesReport levels;                 // what reading them found: their levels and identities
    std::optional<ProgressKeeper> progress;  // where the progress is kept, unless replaying or --no-state
    std::int32_t startLevel = 1;             // the level a game starts at (a replay's is recorded)
};

// Reads and checks what the command line names, in order: the recording to replay, the level files
// (the pack and the folders standing for theirs), the report of --check, the terminal (which must
// place the cursor), and the progress (--continue's level). The start, or the exit status once
// everything has been said (0 after a --check of good files).
std::variant<GameStart, int> readGameStart(const CommandLine& line, const platform::UserFolders& folders);

// Gives `game` the start's levels (taken from it) and puts it at its first level.
void setUpGame(GameState& game, GameStart& start);

// --check of a recording: replays it in `game`, set up for it, as fast as it goes, prints the
// report on standard output and, if the run went out of step, the line that says where on
// standard error, and if it was cut off without its end line, the line that says so; the exit
// status.
int checkRecordedRun(const Recording& recording, const std::string& name, GameState& game);

// Makes the file at `path` a recording of the run `start` begins, with its header, and has `live`
// record into it. Nothing, after the message on standard error, when it cannot be written.
std::unique_ptr<platform::AppendingFile> startRecording(const std::string& path, const GameStart& start,
                                                        LiveGame& live);

// The message for a terminal that cannot place the cursor (TERM=dumb).
inline constexpr std::string_view kDumbTerminalLine =
    "brickstorm: this terminal (TERM=dumb) cannot place the cursor or switch screens, which the game needs; "
    "run it in a terminal emulator, or set TERM to the one in use\n";

}  // namespace brickstorm::app
