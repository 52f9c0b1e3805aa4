// Two games reaching levels at the same moment, in processes of their own, share one progress
// file: whoever reads it at any moment finds it whole, and neither loses the other's levels.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/progress_keeping.h"
#include "settings/progress.h"
#include "support/temp_folder.h"

namespace brickstorm::app {
namespace {

constexpr std::int32_t kLastLevel = 300;

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A game of `set` that reaches every level up to kLastLevel, in a process of its own.
pid_t startGame(const std::string& file, const std::string& set) {
    const pid_t child = ::fork();
    if (child == 0) {
        ProgressKeeper keeper(file, set);
        keeper.readAtStart();
        bool allWritten = true;
        for (std::int32_t level = 2; level <= kLastLevel; ++level) {
            allWritten = !keeper.reach(level).has_value() && allWritten;
        }
        ::_exit(allWritten ? 0 : 1);
    }
    return child;
}

bool ended(pid_t child, int& status) { return ::waitpid(child, &status, WNOHANG) == child; }

TEST(ProgressProcesses, TwoGamesWritingAtOnceNeverLeaveTheFileBroken) {
    const testing::TempFolder scratch("brickstorm-shared-");
    const std::string& folder = scratch.path();
    const std::string file = folder + "/state/brickstorm/progress";
    const std::string first = settings::levelSetName({"first"});
    const std::string second = settings::levelSetName({"second"});

    const pid_t games[] = {startGame(file, first), startGame(file, second)};
    int statuses[] = {0, 0};
    bool done[] = {false, false};
    while (!done[0] || !done[1]) {
        for (int i = 0; i < 2; ++i) {
            done[i] = done[i] || ended(games[i], statuses[i]);
        }
        // Before the first write there is no file; after it, the file is never empty nor cut.
        if (std::filesystem::exists(file)) {
            const std::string text = contents(file);
            ASSERT_FALSE(settings::readProgressText(text).damage.has_value()) << text;
        }
    }
    for (const int status : statuses) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failed";
    }
    const settings::ProgressReading last = settings::readProgressText(contents(file));
    ASSERT_FALSE(last.damage.has_value());
    // Each read, merge and write is the lock holder's alone: the later write read the earlier.
    EXPECT_EQ(last.progress.reachedIn(first), kLastLevel);
    EXPECT_EQ(last.progress.reachedIn(second), kLastLevel);
}

}  // namespace
}  // namespace brickstorm::app
