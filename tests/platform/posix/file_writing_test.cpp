#include "platform/file_writing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/appending_file.h"
#include "platform/posix/fd_io.h"
#include "platform/posix/file_writing_calls.h"
#include "support/temp_folder.h"

namespace brickstorm::platform {
namespace {

// A scratch folder of the test's own, removed with everything in it.
class FileWritingTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder_.path() + "/" + name; }

    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static void put(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }

    // The names in the scratch folder: a failed write must leave nothing of its own behind.
    std::set<std::string> names() const {
        std::set<std::string> found;
        DIR* dir = ::opendir(folder_.path().c_str());
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                found.insert(name);
            }
        }
        ::closedir(dir);
        return found;
    }

    static mode_t permissions(const std::string& file) {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_mode & 07777;
    }

    const testing::TempFolder folder_{"brickstorm-writes-"};
};

TEST_F(FileWritingTest, CreatesAndReplacesAFileWholeLeavingNothingBeside) {
    const std::string level = path("level.lvl");
    ASSERT_TRUE(writeFileAtomically(level, "001 001 001\np\n"));
    EXPECT_EQ(contents(level), "001 001 001\np\n");
    ASSERT_TRUE(writeFileAtomically(level, "second"));
    EXPECT_EQ(contents(level), "second");
    EXPECT_EQ(names(), std::set<std::string>{"level.lvl"});
}

TEST_F(FileWritingTest, KeepsTheOldFilesPermissions) {
    const std::string level = path("level.lvl");
    put(level, "old");
    ASSERT_EQ(::chmod(level.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(level, "new"));
    EXPECT_EQ(permissions(level), 0640U);
}

TEST_F(FileWritingTest, ReplacesTheFileALinkNamesAndKeepsTheLink) {
    const std::string real = path("real.lvl");
    const std::string link = path("link.lvl");
    put(real, "old");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(contents(real), "new");
}

// Fails one step with an error number, as a full disk or a broken one would.
class FailingStep : public FileWriteSteps {
public:
    FailingStep(FileWriteStep step, int error) : step_(step), error_(error) {}
    int failureAt(FileWriteStep step) override { return step == step_ ? error_ : 0; }

private:
    FileWriteStep step_;
    int error_;
};

struct StepFailure {
    FileWriteStep step;
    const char* problem;  // what the result says
};

class FileWritingFailureTest : public FileWritingTest, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(FileWritingFailureTest, LeavesTheOldFileWholeAndSaysWhy) {
    const std::string level = path("level.lvl");
    put(level, "the old level");
    FailingStep failing(GetParam().step, ENOSPC);

    const FileWriteResult result = writeFileAtomically(level, "the new level, longer than the old", failing);

    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, GetParam().problem);
    EXPECT_EQ(contents(level), "the old level");
    EXPECT_EQ(names(), std::set<std::string>{"level.lvl"});
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FileWritingFailureTest,
    ::testing::Values(
        StepFailure{FileWriteStep::CreateTemporary,
                    "cannot create the new file beside it: No space left on device"},
        StepFailure{FileWriteStep::Write, "cannot write the new file: No space left on device"},
        StepFailure{FileWriteStep::Flush, "cannot flush the new file to the disk: No space left on device"},
        StepFailure{FileWriteStep::Rename,
                    "cannot put the new file in place of the old one: No space left on device"}));

TEST_F(FileWritingTest, AFolderThatCannotBeFlushedIsNotCalledSafe) {
    const std::string level = path("level.lvl");
    put(level, "old");
    FailingStep failing(FileWriteStep::FlushFolder, EIO);
    const FileWriteResult result = writeFileAtomically(level, "new", failing);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, "cannot flush its folder to the disk: Input/output error");
    EXPECT_EQ(contents(level), "new");  // in place, whole, but not yet known to be on the disk
}

TEST_F(FileWritingTest, AMissingFolderIsAClearFailure) {
    const FileWriteResult result = writeFileAtomically(path("no-such-folder/level.lvl"), "new");
    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, "cannot create the new file beside it: No such file or directory");
}

TEST_F(FileWritingTest, MakesMissingFoldersPrivateAndLeavesExistingOnes) {
    const std::string nested = path("state/brickstorm");
    ASSERT_TRUE(makeFolders(nested));
    EXPECT_EQ(permissions(nested), 0700U);
    EXPECT_EQ(permissions(path("state")), 0700U);
    ASSERT_EQ(::chmod(nested.c_str(), 0750), 0);
    ASSERT_TRUE(makeFolders(nested));
    EXPECT_EQ(permissions(nested), 0750U);
}

TEST_F(FileWritingTest, AFileWhereAFolderShouldBeIsRefused) {
    put(path("state"), "a file");
    const FileWriteResult result = makeFolders(path("state"));
    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, "it is not a folder");
    EXPECT_FALSE(makeFolders(path("state/brickstorm")));
}

TEST_F(FileWritingTest, RemovingAFileThatIsNotThereSucceeds) {
    const std::string level = path("level.lvl");
    put(level, "old");
    EXPECT_TRUE(removeFile(level));
    EXPECT_EQ(names(), std::set<std::string>{});
    EXPECT_TRUE(removeFile(level));
}

// A write whose process is killed between writing its new file and renaming it, as a SIGKILL or
// the machine going down can.
class KilledBeforeTheRename : public FileWriteSteps {
public:
    int failureAt(FileWriteStep step) override {
        if (step == FileWriteStep::Rename) {
            ::raise(SIGKILL);
        }
        return 0;
    }
};

TEST_F(FileWritingTest, WhatAKilledWriteLeftIsRemovedByTheNextWrite) {
    const std::string level = path("level.lvl");
    put(level, "old");
    const pid_t child = ::fork();
    if (child == 0) {
        KilledBeforeTheRename killed;
        static_cast<void>(writeFileAtomically(level, "new", killed));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(contents(level), "old");
    const std::set<std::string> left = names();
    ASSERT_EQ(left.size(), 2U);
    const std::string temporary = *left.begin() == "level.lvl" ? *left.rbegin() : *left.begin();
    EXPECT_EQ(temporary.size(), kTemporaryNameLength) << temporary;

    ASSERT_TRUE(writeFileAtomically(level, "newer"));
    EXPECT_EQ(contents(level), "newer");
    EXPECT_EQ(names(), std::set<std::string>{"level.lvl"});
}

TEST_F(FileWritingTest, AnotherWritesTemporaryFileIsLeftAloneWhileItLasts) {
    const std::string level = path("level.lvl");
    const std::string theirs =
        path(std::string(kTemporaryPrefix) + "0123456789ab" + std::string(kTemporarySuffix));
    put(theirs, "half");
    const int held = ::open(theirs.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);  // as that write holds it
    ASSERT_TRUE(writeFileAtomically(level, "mine"));
    EXPECT_EQ(names(), (std::set<std::string>{"level.lvl", theirs.substr(theirs.rfind('/') + 1)}));
    ::close(held);  // that write was killed
    ASSERT_TRUE(writeFileAtomically(level, "mine again"));
    EXPECT_EQ(names(), std::set<std::string>{"level.lvl"});
}

TEST_F(FileWritingTest, ANameAsLongAsTheSystemTakesCanBeWritten) {
    for (const std::size_t length : {250U, static_cast<unsigned>(NAME_MAX)}) {
        const std::string name = std::string(length - 4, 'a') + ".rec";
        ASSERT_TRUE(writeFileAtomically(path(name), "first")) << length;
        const FileWriteResult again = writeFileAtomically(path(name), "second");
        EXPECT_TRUE(again) << again.problem;
        EXPECT_EQ(contents(path(name)), "second");
        EXPECT_EQ(names(), std::set<std::string>{name});
        ASSERT_TRUE(removeFile(path(name)));
    }
}

// The real system calls, with each flush and rename seen: on which file, in which order.
class SeenCalls : public SystemCalls {
public:
    int fsync(int fd) override {
        seen.push_back("flush " + nameOf(fd));
        return SystemCalls::fsync(fd);
    }
    int rename(const char* from, const char* to) override {
        seen.push_back(std::string("rename ") + from + " " + to);
        return SystemCalls::rename(from, to);
    }

    std::vector<std::string> seen;

private:
    static std::string nameOf(int fd) {
        char name[PATH_MAX] = {};
        const ssize_t length =
            ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), name, sizeof name - 1);
        return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : "?";
    }
};

TEST_F(FileWritingTest, TheNewFileIsFlushedBeforeItsRenameAndTheFolderAfter) {
    const std::string level = path("level.lvl");
    put(level, "old");
    SeenCalls calls;
    ASSERT_TRUE(writeFileWith(calls, level, "new", systemFileWriteSteps()));
    ASSERT_EQ(calls.seen.size(), 3U) << ::testing::PrintToString(calls.seen);
    const std::string temporaryStart = "flush " + path(std::string(kTemporaryPrefix));
    EXPECT_EQ(calls.seen[0].rfind(temporaryStart, 0), 0U) << calls.seen[0];
    const std::string temporary = calls.seen[0].substr(std::string("flush ").size());
    EXPECT_EQ(calls.seen[1], "rename " + temporary + " " + level);
    EXPECT_EQ(calls.seen[2], "flush " + folder_.path());
    EXPECT_EQ(contents(level), "new");
}

TEST_F(FileWritingTest, AFileWrittenInPlaceIsFlushed) {
    const std::string level = path("level.lvl");
    put(level, "old");
    ASSERT_EQ(::link(level.c_str(), path("other name").c_str()), 0);  // a hard link: written in place
    SeenCalls calls;
    ASSERT_TRUE(writeFileWith(calls, level, "new", systemFileWriteSteps()));
    EXPECT_EQ(calls.seen, std::vector<std::string>{"flush " + level});
}

// Takes the first `taken` bytes of a write, then nothing, without an error: as a broken file
// system or a device at its end can.
class TakingNothing : public SystemCalls {
public:
    explicit TakingNothing(std::size_t taken) : taken_(taken) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        const std::size_t now = std::min(size, taken_);
        taken_ -= now;
        return now == 0 ? 0 : SystemCalls::write(fd, data, now);
    }

private:
    std::size_t taken_;
};

TEST_F(FileWritingTest, AWriteThatTakesNothingFailsInsteadOfTryingForEver) {
    const std::string level = path("level.lvl");
    put(level, "old");
    TakingNothing nothing(2);
    const FileWriteResult result = writeFileWith(nothing, level, "the new level", systemFileWriteSteps());
    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, "cannot write the new file: the system took none of the bytes");
    EXPECT_EQ(contents(level), "old");
    EXPECT_EQ(names(), std::set<std::string>{"level.lvl"});

    // The loop that an appending file uses too.
    const int fd = ::open(path("appended").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    TakingNothing some(3);
    const FileBytesWritten written = writeToFile(some, fd, "abcdef");
    ::close(fd);
    EXPECT_EQ(written.count, 3U);
    EXPECT_EQ(written.error, kNothingWritten);
}

TEST_F(FileWritingTest, AppendingKeepsWhatTheFileHolds) {
    const std::string recording = path("run.rec");
    put(recording, "header\n");
    AppendingFile file(recording);
    ASSERT_TRUE(file.isOpen()) << file.problem();
    EXPECT_TRUE(file.append("line 1\n").complete());
    EXPECT_TRUE(file.append("line 2\n").complete());
    EXPECT_EQ(contents(recording), "header\nline 1\nline 2\n");
}

// In a process of its own with a limit on the size of files it writes (ulimit -f), which the
// system enforces with a signal that ends the process unless it is ignored.
TEST_F(FileWritingTest, AFileSizeLimitFailsTheWriteInsteadOfEndingTheProgram) {
    const std::string level = path("level.lvl");
    const std::string recording = path("run.rec");
    put(level, "old");
    put(recording, "");
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);  // as a new process starts, whatever this one did before
        constexpr rlim_t kLimit = 1024;
        const rlimit limit{kLimit, kLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string big(4 * kLimit, 'b');
        const FileWriteResult saved = writeFileAtomically(level, big);
        AppendingFile appending(recording);
        const AppendResult appended = appending.append(big);
        const bool told = !saved && saved.problem == "cannot write the new file: File too large" &&
                          appended.problem == "cannot add to the file: File too large" &&
                          appended.added == kLimit;
        ::_exit(told ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failures were not told as expected";
    EXPECT_EQ(contents(level), "old");
    EXPECT_EQ(names(), (std::set<std::string>{"level.lvl", "run.rec"}));
}

TEST_F(FileWritingTest, ALockIsHeldByOneAtATimeAndGoesWithItsHolder) {
    const std::string lockFile = path("progress.lock");
    {
        const FileLock first = FileLock::take(lockFile, std::chrono::milliseconds(0));
        ASSERT_TRUE(first.held()) << first.problem();
        EXPECT_EQ(FileLock::take(lockFile, std::chrono::milliseconds(0)).state(), FileLock::State::Busy);
        EXPECT_EQ(FileLock::take(lockFile, std::chrono::milliseconds(30)).state(), FileLock::State::Busy);
    }
    EXPECT_EQ(names(), std::set<std::string>{});  // let go, and its file removed

    // A holder killed while it holds the lock leaves its file, but no lock.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const FileLock held = FileLock::take(lockFile, std::chrono::milliseconds(0));
        const char word = held.held() ? 'y' : 'n';
        static_cast<void>(::write(ready[1], &word, 1));
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char word = 0;
    ASSERT_EQ(::read(ready[0], &word, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(word, 'y');
    EXPECT_EQ(FileLock::take(lockFile, std::chrono::milliseconds(0)).state(), FileLock::State::Busy);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(FileLock::take(lockFile, std::chrono::milliseconds(0)).held());
}

TEST_F(FileWritingTest, ALockWaitsForItsHolderToLetGo) {
    const std::string lockFile = path("progress.lock");
    auto first = std::make_unique<FileLock>(FileLock::take(lockFile, std::chrono::milliseconds(0)));
    ASSERT_TRUE(first->held());
    std::thread letGo([&first] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        first.reset();
    });
    const FileLock second = FileLock::take(lockFile, std::chrono::minutes(1));
    letGo.join();
    EXPECT_TRUE(second.held());
}

TEST_F(FileWritingTest, AStampTellsAChangedFileFromTheSameOne) {
    const std::string level = path("level.lvl");
    EXPECT_EQ(fileStamp(level), std::nullopt);
    put(level, "old");
    const auto before = fileStamp(level);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->size, 3);
    EXPECT_EQ(fileStamp(level), before);
    put(level, "changed");
    EXPECT_NE(fileStamp(level), before);

    // Another file put in its place, of the same size and time: another file all the same.
    const auto replaced = fileStamp(level);
    put(path("other"), "CHANGED");
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {replaced->modifiedNanoseconds / 1'000'000'000, replaced->modifiedNanoseconds % 1'000'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path("other").c_str(), times, 0), 0);
    ASSERT_EQ(::rename(path("other").c_str(), level.c_str()), 0);
    const auto now = fileStamp(level);
    ASSERT_TRUE(now);
    EXPECT_EQ(now->size, replaced->size);
    EXPECT_EQ(now->modifiedNanoseconds, replaced->modifiedNanoseconds);
    EXPECT_NE(now, replaced);
}

}  // namespace
}  // namespace brickstorm::platform
