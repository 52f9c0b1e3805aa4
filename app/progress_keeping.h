#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "app/level_files.h"
#include "core/game_state.h"
#include "platform/file_writing.h"
#include "settings/progress.h"

// The progress file: read once before the game starts, and written whole each time a new level
// is reached, on a thread of its own so that neither the game tick nor a frame ever waits on the
// disk.
namespace brickstorm::app {

// The file name of the progress file in the state folder.
inline constexpr std::string_view kProgressFileName = "progress";

// How often the level number is looked at: a level reached is on disk within a second.
inline constexpr std::chrono::milliseconds kProgressPeriod{250};

// How long a game waits for another to finish its write of the progress file: a write takes
// milliseconds, so a lock held longer belongs to a game that is stuck, and the write goes ahead
// without it.
inline constexpr std::chrono::milliseconds kProgressLockWait{2000};

// The progress file in `stateFolder`; empty when there is no state folder.
std::string progressFile(const std::string& stateFolder);

// How the progress file is read and written: the system's calls, or stand-ins in tests.
struct ProgressFiles {
    FileReader read = platform::readFilePieces;
    std::function<platform::FileWriteResult(const std::string& path, std::string_view bytes)> write =
        [](const std::string& path, std::string_view bytes) {
            return platform::writeFileAtomically(path, bytes);
        };
    std::function<platform::FileWriteResult(const std::string& folder)> makeFolders = platform::makeFolders;
    // The lock that games sharing the file take in turn around a read, merge and write.
    std::function<platform::FileLock(const std::string& lockFile)> lock = [](const std::string& lockFile) {
        return platform::FileLock::take(lockFile, kProgressLockWait);
    };
};

// The progress of one game in one set of levels, kept in one file that other games may share.
class ProgressKeeper {
public:
    ProgressKeeper(std::string file, std::string levelSet, ProgressFiles files = {});

    // What the file says at the start of the game.
    struct Start {
        std::optional<std::int32_t> reached;  // the highest level reached before in this set
        std::optional<std::string> notice;    // a whole line about a file that could not be read whole
    };

    // Reads the file. A damaged or unreadable file is never fatal: its good lines are kept, and
    // the notice says what was wrong and that the game plays on.
    Start readAtStart();

    // Records `level` as reached in this set, unless a level as high already is: reads the file
    // again (another game may have written it since), keeps the higher level of every set, and
    // writes it whole, all under the lock of the file ("progress.lock" beside it) so that two
    // games never write over each other's levels. Nothing when that worked or was not needed; otherwise a
    // whole line that says why not. The level is kept in memory and written with the next level reached.
    std::optional<std::string> reach(std::int32_t level);

private:
    settings::ProgressReading readFile(bool& unreadable, std::string& reason) const;

    std::string file_;
    std::string levelSet_;
    ProgressFiles files_;
    settings::Progress known_;  // everything read or reached so far, this set's level included
    std::int32_t written_ = 0;  // the level of this set that the file was last written with
};

// The level that --continue starts at after `reached`: that level, or the last of `levelCount`
// levels from files if the set has changed its count since (without files, 0, the built-in
// levels never run out).
std::int32_t continuedLevel(std::int32_t reached, std::size_t levelCount);

// One pass of the progress thread: the level number is copied under `stateLock`, and a new level
// reached since `lastSeen` is recorded outside it. `report` gets the line about a failed write.
void recordProgress(GameState& state, std::mutex& stateLock, ProgressKeeper& keeper, std::int32_t& lastSeen,
                    const std::function<void(const std::string&)>& report);

// Runs recordProgress every kProgressPeriod until `stop` is requested, and once more then; with a
// default token, for ever. `startLevel`, the level the game starts at, is not counted as reached: it is given
// by the caller, since by the thread's first pass the game may already have left it.
void progressLoop(GameState& state, std::mutex& stateLock, ProgressKeeper& keeper, std::int32_t startLevel,
                  const std::function<void(const std::string&)>& report, const std::stop_token& stop = {});

}  // namespace brickstorm::app
