#include "platform/file_writing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace brickstorm::platform {
namespace {

// A scratch folder of the test's own, removed with everything in it.
class FileWritingTest : public ::testing::Test {
public:
    FileWritingTest(const FileWritingTest&) = delete;
    FileWritingTest& operator=(const FileWritingTest&) = delete;

protected:
    FileWritingTest() {
        char pattern[] = "/tmp/brickstorm-writes-XXXXXX";
        folder_ = ::mkdtemp(pattern);
    }
    ~FileWritingTest() override { static_cast<void>(std::system(("rm -rf '" + folder_ + "'").c_str())); }

    std::string path(const std::string& name) const { return folder_ + "/" + name; }

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
        DIR* dir = ::opendir(folder_.c_str());
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

    std::string folder_;
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
}

}  // namespace
}  // namespace brickstorm::platform
