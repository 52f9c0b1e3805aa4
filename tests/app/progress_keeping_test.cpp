#include "app/progress_keeping.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "settings/progress.h"
#include "support/temp_folder.h"
#include "world/display_text.h"

namespace brickstorm::app {
namespace {

namespace fs = std::filesystem;
using platform::FileWriteStep;
using settings::readProgressText;

constexpr std::string_view kHeader =
    "# brickstorm progress 1: the highest level reached in each set of levels\n";
constexpr const char* kPack = "0123456789abcdef";
constexpr const char* kOtherPack = "fedcba9876543210";

// Makes one step of a write fail, as a full disk or a lost device would.
class FailingSteps : public platform::FileWriteSteps {
public:
    explicit FailingSteps(FileWriteStep step, int error) : step_(step), error_(error) {}
    int failureAt(FileWriteStep step) override { return step == step_ ? error_ : 0; }

private:
    FileWriteStep step_;
    int error_;
};

// A state folder of the test's own, removed with everything in it.
class ProgressKeepingTest : public ::testing::Test {
protected:
    std::string contents() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void put(const std::string& text) const {
        fs::create_directories(fs::path(file_).parent_path());
        std::ofstream(file_, std::ios::binary) << text;
    }
    // The level of `set` in the file as it is now, if the file is whole and has one.
    std::optional<std::int32_t> onDisk(const std::string& set) const {
        const settings::ProgressReading reading = readProgressText(contents());
        EXPECT_FALSE(reading.damage.has_value()) << contents();
        return reading.progress.reachedIn(set);
    }

    const testing::TempFolder scratch_{"brickstorm-progress-"};
    const fs::path folder_{scratch_.path()};
    const std::string file_ = (folder_ / "brickstorm" / "progress").string();
};

TEST_F(ProgressKeepingTest, TheLevelReachedIsRememberedForTheNextGame) {
    ProgressKeeper first(file_, kPack);
    const ProgressKeeper::Start fresh = first.readAtStart();
    EXPECT_FALSE(fresh.reached.has_value());
    EXPECT_FALSE(fresh.notice.has_value());
    EXPECT_FALSE(fs::exists(file_)) << "nothing is written before a level is reached";

    EXPECT_EQ(first.reach(2), std::nullopt);  // the folders are made on the way
    EXPECT_EQ(first.reach(3), std::nullopt);
    EXPECT_EQ(onDisk(kPack), 3);

    ProgressKeeper second(file_, kPack);
    EXPECT_EQ(second.readAtStart().reached, 3);
    // A new game of the same set reaching a lower level keeps the higher one.
    EXPECT_EQ(second.reach(2), std::nullopt);
    EXPECT_EQ(onDisk(kPack), 3);
}

TEST_F(ProgressKeepingTest, AnotherSetOfLevelsIsRememberedBesideIt) {
    ProgressKeeper pack(file_, kPack);
    pack.readAtStart();
    ASSERT_EQ(pack.reach(4), std::nullopt);

    ProgressKeeper other(file_, kOtherPack);
    EXPECT_FALSE(other.readAtStart().reached.has_value());
    ASSERT_EQ(other.reach(2), std::nullopt);
    EXPECT_EQ(onDisk(kPack), 4);
    EXPECT_EQ(onDisk(kOtherPack), 2);
}

TEST_F(ProgressKeepingTest, WhatAnotherGameWroteMeanwhileIsKept) {
    ProgressKeeper mine(file_, kPack);
    mine.readAtStart();
    ProgressKeeper theirs(file_, kOtherPack);
    theirs.readAtStart();
    ASSERT_EQ(theirs.reach(5), std::nullopt);  // after this game read the file
    ASSERT_EQ(mine.reach(2), std::nullopt);
    EXPECT_EQ(onDisk(kOtherPack), 5);
    EXPECT_EQ(onDisk(kPack), 2);
}

TEST_F(ProgressKeepingTest, ADamagedFileIsToldOnceAndWrittenWholeAtTheNextLevel) {
    struct Case {
        std::string text;
        std::string notice;  // after "brickstorm: FILE"
        std::optional<std::int32_t> kept;
    };
    const std::string playsOn = " (the game plays on, and writes the file anew at the next level reached)\n";
    const Case cases[] = {
        {"", ":1: empty, not a progress file" + playsOn, std::nullopt},
        {"built-in 3\n", ":1: not a progress file" + playsOn, std::nullopt},
        {std::string(kHeader) + kPack + " 3\n" + kOtherPack + " 1", ":3: cut short" + playsOn, 3},
        {std::string(kHeader) + "??? 9\n" + kPack + " 2\n", ":2: not the name of a set of levels" + playsOn,
         2},
        {std::string(kHeader) + kPack + " \x1b[2J\n", ":2: not a level number" + playsOn, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        put(c.text);
        ProgressKeeper keeper(file_, kPack);
        const ProgressKeeper::Start start = keeper.readAtStart();
        EXPECT_EQ(start.notice, "brickstorm: " + escapedForDisplay(file_) + c.notice);
        EXPECT_EQ(start.reached, c.kept);
        ASSERT_EQ(keeper.reach(c.kept.value_or(1) + 1), std::nullopt);
        EXPECT_EQ(onDisk(kPack), c.kept.value_or(1) + 1);
    }
}

TEST_F(ProgressKeepingTest, AnUnreadableFileIsNeverFatal) {
    put(std::string(kHeader) + kPack + " 7\n");
    ProgressFiles files;
    files.read = [](const std::string&, const platform::FilePieceReader&) {
        return platform::FileReadResult{platform::FileReadStatus::Unreadable, "Input/output error"};
    };
    ProgressKeeper keeper(file_, kPack, files);
    const ProgressKeeper::Start start = keeper.readAtStart();
    EXPECT_EQ(start.notice, "brickstorm: " + escapedForDisplay(file_) +
                                ": cannot be read: Input/output error (the game plays on, and writes the file "
                                "anew at the next level reached)\n");
    EXPECT_FALSE(start.reached.has_value());
    EXPECT_EQ(keeper.reach(2), std::nullopt);
    EXPECT_EQ(onDisk(kPack), 2);
}

TEST_F(ProgressKeepingTest, AFailedWriteKeepsTheOldFileAndTheLevelForTheNextTry) {
    for (const FileWriteStep step :
         {FileWriteStep::CreateTemporary, FileWriteStep::Write, FileWriteStep::Flush, FileWriteStep::Rename,
          FileWriteStep::FlushFolder}) {
        SCOPED_TRACE(static_cast<int>(step));
        const std::string before = std::string(kHeader) + kPack + " 2\n";
        put(before);
        std::atomic<bool> failing{true};
        FailingSteps failure(step, ENOSPC);
        ProgressFiles files;
        files.write = [&](const std::string& path, std::string_view bytes) {
            return failing ? platform::writeFileAtomically(path, bytes, failure)
                           : platform::writeFileAtomically(path, bytes);
        };
        ProgressKeeper keeper(file_, kPack, files);
        keeper.readAtStart();
        const auto problem = keeper.reach(3);
        if (step == FileWriteStep::FlushFolder) {
            // The new file is in place by then; only its survival of a crash is in doubt.
            continue;
        }
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->rfind("brickstorm: " + escapedForDisplay(file_) + ": progress not saved: ", 0), 0U)
            << *problem;
        EXPECT_EQ(contents(), before);
        failing = false;
        EXPECT_EQ(keeper.reach(3), std::nullopt) << "the same level is tried again";
        EXPECT_EQ(onDisk(kPack), 3);
    }
}

TEST_F(ProgressKeepingTest, TheFileIsReadMergedAndWrittenUnderTheLockOfGamesSharingIt) {
    const std::string lockFile = file_ + ".lock";
    // Another game trying the lock at that moment finds it held.
    const auto lockedNow = [&lockFile] {
        return platform::FileLock::take(lockFile, std::chrono::milliseconds(0)).state() ==
               platform::FileLock::State::Busy;
    };
    int reads = 0;
    int writes = 0;
    ProgressFiles files;
    files.read = [&](const std::string& path, const platform::FilePieceReader& take) {
        ++reads;
        EXPECT_EQ(lockedNow(), reads > 1) << "read " << reads;  // not at the start of the game
        return platform::readFilePieces(path, take);
    };
    files.write = [&](const std::string& path, std::string_view bytes) {
        ++writes;
        EXPECT_TRUE(lockedNow());
        return platform::writeFileAtomically(path, bytes);
    };
    ProgressKeeper keeper(file_, kPack, files);
    keeper.readAtStart();
    ASSERT_EQ(keeper.reach(2), std::nullopt);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(writes, 1);
    EXPECT_FALSE(fs::exists(lockFile)) << "let go after the write";

    // A game stuck holding the lock delays the write, and does not lose it.
    const platform::FileLock stuck = platform::FileLock::take(lockFile, std::chrono::milliseconds(0));
    ASSERT_TRUE(stuck.held());
    files.write = [](const std::string& path, std::string_view bytes) {
        return platform::writeFileAtomically(path, bytes);
    };
    files.read = platform::readFilePieces;
    files.lock = [](const std::string& path) {
        return platform::FileLock::take(path, std::chrono::milliseconds(1));
    };
    ProgressKeeper patient(file_, kPack, files);
    patient.readAtStart();
    EXPECT_EQ(patient.reach(3), std::nullopt);
    EXPECT_EQ(onDisk(kPack), 3);
}

TEST_F(ProgressKeepingTest, AStateFolderThatCannotBeMadeIsSaid) {
    const fs::path blocker = folder_ / "file";
    fs::create_directories(folder_);
    std::ofstream(blocker) << "a file where the folder would go";
    const std::string file = (blocker / "brickstorm" / "progress").string();
    ProgressKeeper keeper(file, kPack);
    keeper.readAtStart();
    const auto problem = keeper.reach(2);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->rfind("brickstorm: " + escapedForDisplay((blocker / "brickstorm").string()) +
                                 ": progress not saved: ",
                             0),
              0U)
        << *problem;
}

TEST_F(ProgressKeepingTest, EachNewLevelReachedIsRecordedOutsideTheLock) {
    GameState state;
    std::mutex stateLock;
    std::vector<std::string> reports;
    int writes = 0;
    ProgressFiles files;
    files.write = [&](const std::string& path, std::string_view bytes) {
        // The game's lock is free while the file is written: the tick never waits on the disk.
        EXPECT_TRUE(stateLock.try_lock());
        stateLock.unlock();
        ++writes;
        return platform::writeFileAtomically(path, bytes);
    };
    ProgressKeeper keeper(file_, kPack, files);
    keeper.readAtStart();
    std::int32_t lastSeen = state.levelNumber;
    const auto pass = [&] {
        recordProgress(state, stateLock, keeper, lastSeen,
                       [&](const std::string& line) { reports.push_back(line); });
    };
    pass();
    EXPECT_EQ(writes, 0) << "the level the game starts at is not reached";
    state.levelNumber = 2;
    pass();
    pass();
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(onDisk(kPack), 2);
    state.levelNumber = 1;  // a new game
    pass();
    state.levelNumber = 2;
    pass();
    EXPECT_EQ(writes, 1) << "a level already in the file is not written again";
    state.levelNumber = 3;
    pass();
    EXPECT_EQ(writes, 2);
    EXPECT_EQ(onDisk(kPack), 3);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProgressKeepingTest, TheProgressThreadWritesALevelReachedWhileTheGameRuns) {
    GameState state;
    std::mutex stateLock;
    ProgressKeeper keeper(file_, kPack);
    keeper.readAtStart();
    const std::int32_t start = state.levelNumber;
    std::jthread progress([&](const std::stop_token& stop) {
        progressLoop(
            state, stateLock, keeper, start, [](const std::string& line) { ADD_FAILURE() << line; }, stop);
    });
    {
        const std::lock_guard lock(stateLock);
        state.levelNumber = 2;  // as the tick does at an exit
    }
    // Waits for the file, which the thread writes within one period; the limit is for a slow
    // machine, not an expectation of speed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(file_) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    progress.request_stop();
    progress.join();
    EXPECT_EQ(onDisk(kPack), 2);
}

TEST(ContinuedLevel, NeverBeyondTheLastLevel) {
    EXPECT_EQ(continuedLevel(3, 5), 3);
    EXPECT_EQ(continuedLevel(7, 5), 5);
    EXPECT_EQ(continuedLevel(12, 0), 12);  // the built-in levels never run out
}

TEST(ProgressFileName, InTheStateFolder) {
    EXPECT_EQ(progressFile(""), "");
    EXPECT_EQ(fs::path(progressFile("state")), fs::path("state") / "progress");
}

}  // namespace
}  // namespace brickstorm::app
