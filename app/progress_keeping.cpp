#include "app/progress_keeping.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/loops.h"
#include "world/display_text.h"

namespace brickstorm::app {

namespace {

constexpr std::string_view kPlaysOn =
    " (the game plays on, and writes the file anew at the next level reached)";

std::string lineAbout(const std::string& file, std::optional<int> line, std::string_view what) {
    std::string text = "brickstorm: " + escapedForDisplay(file) + ":";
    if (line) {
        text += std::to_string(*line) + ":";
    }
    return text + " " + std::string(what) + "\n";
}

// A progress file bigger than this is not one the game wrote: it holds a few dozen bytes for each
// set of levels a player has ever played.
constexpr std::size_t kMaxProgressFileBytes = std::size_t{1} << 20;

}  // namespace

std::string progressFile(const std::string& stateFolder) {
    if (stateFolder.empty()) {
        return {};
    }
    return (std::filesystem::path(stateFolder) / kProgressFileName).string();
}

ProgressKeeper::ProgressKeeper(std::string file, std::string levelSet, ProgressFiles files)
    : file_(std::move(file)), levelSet_(std::move(levelSet)), files_(std::move(files)) {}

settings::ProgressReading ProgressKeeper::readFile(bool& unreadable, std::string& reason) const {
    std::string text;
    const platform::FileReadResult result = files_.read(file_, [&text](std::string_view piece) {
        text += piece;
        return text.size() <= kMaxProgressFileBytes;
    });
    unreadable = false;
    switch (result.status) {
    case platform::FileReadStatus::Read: return settings::readProgressText(text);
    case platform::FileReadStatus::Missing: return {};  // nothing reached yet, anywhere
    case platform::FileReadStatus::Directory: reason = "a directory, not a progress file"; break;
    case platform::FileReadStatus::Unreadable:
        reason = "cannot be read: " + escapedForDisplay(result.reason);
        break;
    case platform::FileReadStatus::Stopped:
        reason = "bigger than " + std::to_string(kMaxProgressFileBytes) + " bytes, not a progress file";
        break;
    }
    unreadable = true;
    return {};
}

ProgressKeeper::Start ProgressKeeper::readAtStart() {
    bool unreadable = false;
    std::string reason;
    settings::ProgressReading reading = readFile(unreadable, reason);
    known_.mergeFrom(reading.progress);
    Start start;
    start.reached = known_.reachedIn(levelSet_);
    written_ = start.reached.value_or(0);
    if (unreadable) {
        start.notice = lineAbout(file_, std::nullopt, reason + std::string(kPlaysOn));
    } else if (reading.damage) {
        start.notice = lineAbout(file_, reading.damage->line, reading.damage->what + std::string(kPlaysOn));
    }
    return start;
}

std::optional<std::string> ProgressKeeper::reach(std::int32_t level) {
    known_.reach(levelSet_, level);
    const std::int32_t highest = known_.reachedIn(levelSet_).value_or(level);
    if (highest <= written_) {
        return std::nullopt;
    }
    const std::filesystem::path folder = std::filesystem::path(file_).parent_path();
    if (!folder.empty()) {
        if (const auto made = files_.makeFolders(folder.string()); !made) {
            return lineAbout(folder.string(), std::nullopt, "progress not saved: " + made.problem);
        }
    }
    // Without the lock (a game stuck holding it, a folder where no lock file can be made) the
    // write goes ahead as a lone game's would.
    const platform::FileLock lock = files_.lock(file_ + ".lock");
    // What another game wrote since is kept: the file holds the higher level of every set. A
    // file that cannot be read now is written anew from what this game knows.
    bool unreadable = false;
    std::string reason;
    known_.mergeFrom(readFile(unreadable, reason).progress);
    if (const auto written = files_.write(file_, settings::progressText(known_)); !written) {
        return lineAbout(file_, std::nullopt, "progress not saved: " + written.problem);
    }
    written_ = known_.reachedIn(levelSet_).value_or(highest);
    return std::nullopt;
}

std::int32_t continuedLevel(std::int32_t reached, std::size_t levelCount) {
    if (levelCount == 0) {
        return reached;
    }
    return std::min(reached, static_cast<std::int32_t>(levelCount));
}

void recordProgress(GameState& state, std::mutex& stateLock, ProgressKeeper& keeper, std::int32_t& lastSeen,
                    const std::function<void(const std::string&)>& report) {
    std::int32_t level = 0;
    {
        const std::lock_guard lock(stateLock);
        level = state.levelNumber;
    }
    if (level == lastSeen) {
        return;
    }
    // A lower level is a new game from the start: its levels count again, so that one whose
    // write failed is tried again when it is reached again.
    const bool reached = level > lastSeen;
    lastSeen = level;
    if (!reached) {
        return;
    }
    if (auto failure = keeper.reach(level)) {
        report(*failure);
    }
}

void progressLoop(GameState& state, std::mutex& stateLock, ProgressKeeper& keeper, std::int32_t startLevel,
                  const std::function<void(const std::string&)>& report, const std::stop_token& stop) {
    std::int32_t lastSeen = startLevel;
    runPaced(
        kProgressPeriod, [&] { recordProgress(state, stateLock, keeper, lastSeen, report); }, stop);
    // Once more on the way out: a level reached in the last moments is kept too.
    recordProgress(state, stateLock, keeper, lastSeen, report);
}

}  // namespace brickstorm::app
