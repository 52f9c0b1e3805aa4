// What a write keeps of what is at the name it writes, on real files, links, device nodes and
// pipes made in a scratch folder: the file's hard links, owner and group, its place behind a
// link, and anything that is not a regular file, left exactly as it was. Cases that need another
// user or a device node run as root (the superuser makes them, and writes as another user).
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "platform/file_writing.h"
#include "support/temp_folder.h"

namespace brickstorm::platform {
namespace {

// Users that no file on a test machine belongs to: the writer, and the owner of another's file.
constexpr uid_t kWriter = 64001;
constexpr uid_t kOtherUser = 64002;

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const std::string& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

struct stat lstatOf(const std::string& file) {
    struct stat info {};
    ::lstat(file.c_str(), &info);
    return info;
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> found;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = dir != nullptr ? ::readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            found.insert(name);
        }
    }
    if (dir != nullptr) {
        ::closedir(dir);
    }
    return found;
}

// How a write went, told across a fork by an exit status.
enum class Outcome { Replaced = 0, InPlace = 1, Failed = 2 };

// Writes `text` to `file`, as kWriter when `asWriter`, counting the calls made before writing in
// place.
Outcome writeAs(bool asWriter, const std::string& file, const std::string& text) {
    const auto write = [&] {
        int inPlace = 0;
        const FileWriteResult result = writeFileAtomically(file, text, systemFileWriteSteps(), [&inPlace] {
            ++inPlace;
            return FileWriteResult{true, {}};
        });
        if (!result) {
            return Outcome::Failed;
        }
        return inPlace == 1 ? Outcome::InPlace : Outcome::Replaced;
    };
    if (!asWriter) {
        return write();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kWriter) != 0 || ::setuid(kWriter) != 0) {
            ::_exit(3);
        }
        ::_exit(static_cast<int>(write()));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) <= 2 ? static_cast<Outcome>(WEXITSTATUS(status))
                                                         : Outcome::Failed;
}

struct KeepingCase {
    const char* name;
    // Makes the file and what is around it in `folder` (a folder open to all); the name to write.
    std::function<std::string(const std::string& folder)> arrange;
    bool asWriter;  // written by kWriter rather than by root
    Outcome expected;
    // What must still hold afterwards, beside the new text at the name written.
    std::function<void(const std::string& folder)> check;
};

void PrintTo(const KeepingCase& kase, std::ostream* out) { *out << kase.name; }

class FileKeepingTest : public ::testing::TestWithParam<KeepingCase> {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root, to write as another user";
        }
        ASSERT_EQ(::chmod(scratch_.path().c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(folder_.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);  // whatever the umask
    }

    const testing::TempFolder scratch_{"brickstorm-keeping-"};
    const std::string folder_ = scratch_.path() + "/shared";
};

TEST_P(FileKeepingTest, TheNewTextIsThereAndWhatWasThereIsKept) {
    const KeepingCase& kase = GetParam();
    const std::string file = kase.arrange(folder_);
    const std::set<std::string> before = namesIn(folder_);
    EXPECT_EQ(writeAs(kase.asWriter, file, "the new text\n"), kase.expected);
    EXPECT_EQ(contents(file), "the new text\n");
    kase.check(folder_);
    std::set<std::string> after = namesIn(folder_);
    for (const std::string& made : before) {
        after.erase(made);
    }
    // Nothing left beside it; a file made behind a dangling link is the only new name.
    EXPECT_TRUE(after.empty() || after == std::set<std::string>{"target.lvl"}) << *after.begin();
}

void ownedBy(const std::string& file, uid_t user, mode_t mode) {
    put(file, "the old text\n");
    ASSERT_EQ(::chown(file.c_str(), user, user), 0);
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, FileKeepingTest,
    ::testing::Values(KeepingCase{"APlainFileIsReplacedByRenameKeepingItsMode",
                                  [](const std::string& folder) {
                                      ownedBy(folder + "/level.lvl", 0, 0640);
                                      return folder + "/level.lvl";
                                  },
                                  false, Outcome::Replaced,
                                  [](const std::string& folder) {
                                      EXPECT_EQ(lstatOf(folder + "/level.lvl").st_mode & 07777U, 0640U);
                                  }},
                      KeepingCase{"AHardLinkedFileKeepsItsLinks",
                                  [](const std::string& folder) {
                                      put(folder + "/level.lvl", "the old text\n");
                                      EXPECT_EQ(::link((folder + "/level.lvl").c_str(),
                                                       (folder + "/other.lvl").c_str()),
                                                0);
                                      return folder + "/level.lvl";
                                  },
                                  false, Outcome::InPlace,
                                  [](const std::string& folder) {
                                      EXPECT_EQ(contents(folder + "/other.lvl"), "the new text\n");
                                      EXPECT_EQ(lstatOf(folder + "/other.lvl").st_ino,
                                                lstatOf(folder + "/level.lvl").st_ino);
                                      EXPECT_EQ(lstatOf(folder + "/level.lvl").st_nlink, 2U);
                                  }},
                      KeepingCase{"AnotherUsersWritableFileKeepsItsOwner",
                                  [](const std::string& folder) {
                                      ownedBy(folder + "/level.lvl", kOtherUser, 0666);
                                      return folder + "/level.lvl";
                                  },
                                  true, Outcome::InPlace,
                                  [](const std::string& folder) {
                                      EXPECT_EQ(lstatOf(folder + "/level.lvl").st_uid, kOtherUser);
                                      EXPECT_EQ(lstatOf(folder + "/level.lvl").st_gid, kOtherUser);
                                  }},
                      KeepingCase{"AnOwnFileIsReplacedByRenameKeepingItsOwner",
                                  [](const std::string& folder) {
                                      ownedBy(folder + "/level.lvl", kWriter, 0644);
                                      return folder + "/level.lvl";
                                  },
                                  true, Outcome::Replaced,
                                  [](const std::string& folder) {
                                      EXPECT_EQ(lstatOf(folder + "/level.lvl").st_uid, kWriter);
                                  }},
                      KeepingCase{"AWritableFileInAFolderWithoutRoomForNewFilesIsWritten",
                                  [](const std::string& folder) {
                                      ownedBy(folder + "/level.lvl", kWriter, 0644);
                                      EXPECT_EQ(::chmod(folder.c_str(), 0555), 0);
                                      return folder + "/level.lvl";
                                  },
                                  true, Outcome::InPlace,
                                  [](const std::string& folder) {
                                      EXPECT_EQ(lstatOf(folder + "/level.lvl").st_uid, kWriter);
                                      EXPECT_EQ(::chmod(folder.c_str(), 0777), 0);
                                  }},
                      KeepingCase{"ALinkStaysALinkToTheFileItNames",
                                  [](const std::string& folder) {
                                      put(folder + "/real.lvl", "the old text\n");
                                      EXPECT_EQ(::symlink("real.lvl", (folder + "/middle.lvl").c_str()), 0);
                                      EXPECT_EQ(::symlink("middle.lvl", (folder + "/link.lvl").c_str()), 0);
                                      return folder + "/link.lvl";
                                  },
                                  false, Outcome::Replaced,
                                  [](const std::string& folder) {
                                      EXPECT_TRUE(S_ISLNK(lstatOf(folder + "/link.lvl").st_mode));
                                      EXPECT_TRUE(S_ISLNK(lstatOf(folder + "/middle.lvl").st_mode));
                                      EXPECT_EQ(contents(folder + "/real.lvl"), "the new text\n");
                                  }},
                      KeepingCase{"ADanglingLinkGetsTheFileItNames",
                                  [](const std::string& folder) {
                                      EXPECT_EQ(::symlink("target.lvl", (folder + "/link.lvl").c_str()), 0);
                                      return folder + "/link.lvl";
                                  },
                                  false, Outcome::Replaced,
                                  [](const std::string& folder) {
                                      EXPECT_TRUE(S_ISLNK(lstatOf(folder + "/link.lvl").st_mode));
                                      EXPECT_EQ(contents(folder + "/target.lvl"), "the new text\n");
                                  }}),
    [](const ::testing::TestParamInfo<KeepingCase>& info) { return std::string(info.param.name); });

// Something that is not a regular file, and how the refusal names it.
struct NodeCase {
    const char* name;
    std::function<int(const std::string& node)> make;  // 0 when made
    const char* problem;
    bool throughLink;  // written through a link to it
};

void PrintTo(const NodeCase& kase, std::ostream* out) { *out << kase.name; }

class NotAFileTest : public ::testing::TestWithParam<NodeCase> {
protected:
    const testing::TempFolder folder_{"brickstorm-nodes-"};
};

TEST_P(NotAFileTest, IsRefusedAndLeftAsItWas) {
    const NodeCase& kase = GetParam();
    const std::string node = folder_.path() + "/node";
    if (kase.make(node) != 0) {
        GTEST_SKIP() << "cannot make the node here (" << std::strerror(errno) << "): needs root";
    }
    const struct stat before = lstatOf(node);
    std::string name = node;
    if (kase.throughLink) {
        name = folder_.path() + "/link";
        ASSERT_EQ(::symlink(node.c_str(), name.c_str()), 0);
    }
    const std::set<std::string> names = namesIn(folder_.path());

    EXPECT_EQ(unwritableKind(name), std::optional<std::string>(kase.problem));
    const FileWriteResult result = writeFileAtomically(name, "a recording\n");
    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, kase.problem);

    const struct stat after = lstatOf(node);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(namesIn(folder_.path()), names);
    if (kase.throughLink) {
        EXPECT_TRUE(S_ISLNK(lstatOf(name).st_mode));
    }
}

int makeNullDevice(const std::string& node) { return ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)); }

INSTANTIATE_TEST_SUITE_P(
    EachKind, NotAFileTest,
    ::testing::Values(NodeCase{"ACharacterDevice", makeNullDevice, "a device, not a regular file", false},
                      NodeCase{"ALinkToADevice", makeNullDevice, "a device, not a regular file", true},
                      NodeCase{"ABlockDevice",
                               [](const std::string& node) {
                                   return ::mknod(node.c_str(), S_IFBLK | 0600, makedev(7, 250));
                               },
                               "a device, not a regular file", false},
                      NodeCase{"APipe", [](const std::string& node) { return ::mkfifo(node.c_str(), 0600); },
                               "a pipe, not a regular file", false},
                      NodeCase{"ALinkToAPipe",
                               [](const std::string& node) { return ::mkfifo(node.c_str(), 0600); },
                               "a pipe, not a regular file", true},
                      NodeCase{"AFolder", [](const std::string& node) { return ::mkdir(node.c_str(), 0700); },
                               "a directory, not a regular file", false}),
    [](const ::testing::TestParamInfo<NodeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brickstorm::platform
