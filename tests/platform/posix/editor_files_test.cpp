// The editor's files under faults: whichever step of a save fails, the old file is left whole
// and every edit stays in the editor, and the recovery copy likewise; a file changed on disk is
// seen as changed.
#include "app/editor_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <variant>

#include "editor/editor_session.h"
#include "editor/level_writing.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace brickstorm::app {
namespace {

using testing::fileText;

using platform::FileWriteStep;

class FailingStep : public platform::FileWriteSteps {
public:
    explicit FailingStep(FileWriteStep step) : step_(step) {}
    int failureAt(FileWriteStep step) override { return step == step_ ? ENOSPC : 0; }

private:
    FileWriteStep step_;
};

class EditorFilesTest : public ::testing::Test {
protected:
    const testing::TempFolder folder_{"brickstorm-editor-files-"};
};

TEST_F(EditorFilesTest, AFailedSaveAtAnyStepKeepsTheOldFileAndEveryEdit) {
    const std::string file = folder_.path() + "/level.lvl";
    const std::string old = "# Old\n002 001 002\nE0\np0\n";
    std::ofstream(file, std::ios::binary) << old;
    ::chmod(file.c_str(), 0640);
    for (const FileWriteStep step :
         {FileWriteStep::CreateTemporary, FileWriteStep::Write, FileWriteStep::Flush, FileWriteStep::Rename}) {
        auto opened = std::get<OpenedLevel>(openLevelFile(file, editor::kNewLevelSizes));
        editor::EditorSession editor(std::move(opened.level));
        editor.handleKey('b');
        const editor::EditedLevel edited = editor.level();
        FailingStep failing(step);
        const platform::FileWriteResult result = saveLevelFile(file, editor.level(), {}, failing);
        ASSERT_FALSE(result) << static_cast<int>(step);
        editor.saveFailed(result.problem);
        EXPECT_EQ(fileText(file), old) << static_cast<int>(step);
        EXPECT_EQ(editor.level(), edited);
        EXPECT_TRUE(editor.unsaved());
        EXPECT_NE(editor.message().find("No space left on device"), std::string::npos) << editor.message();
        // Nothing is left beside the file.
        std::FILE* listing = ::popen(("ls -A '" + folder_.path() + "'").c_str(), "r");
        char names[256] = {};
        const std::size_t read = std::fread(names, 1, sizeof names - 1, listing);
        ::pclose(listing);
        EXPECT_EQ(std::string(names, read), "level.lvl\n") << static_cast<int>(step);
    }
    // Then saved for real: the new text, the permissions kept.
    auto opened = std::get<OpenedLevel>(openLevelFile(file, editor::kNewLevelSizes));
    ASSERT_TRUE(saveLevelFile(file, opened.level));
    EXPECT_EQ(fileText(file), editor::levelFileText(opened.level));
    struct stat info {};
    ::stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777U, 0640U);
}

TEST_F(EditorFilesTest, TheRecoveryCopyIsWrittenWholeIntoAFolderMadeForIt) {
    const std::string copy =
        recoveryPathFor(folder_.path() + "/a level.lvl", folder_.path() + "/state/brickstorm");
    EXPECT_EQ(copy.find(folder_.path() + "/state/brickstorm/"), 0U);
    EXPECT_EQ(copy.find(' ', folder_.path().size() + 1), std::string::npos);  // the name is made safe
    const auto level = editor::EditedLevel::newLevel({3, 2, 2});
    FailingStep failing(FileWriteStep::Write);
    EXPECT_FALSE(writeRecoveryCopy(copy, level, failing));
    EXPECT_FALSE(recoveryCopyIsNewer(copy, std::nullopt));
    ASSERT_TRUE(writeRecoveryCopy(copy, level));
    EXPECT_TRUE(recoveryCopyIsNewer(copy, std::nullopt));
    EXPECT_EQ(readEditableLevel(copy), level);
    EXPECT_EQ(recoveryPathFor("x.lvl", ""), "");  // no state folder, no copy
}

// The recovery copy, at the moment the file is written in place: it must hold the same text.
class CopyWatchingSteps : public platform::FileWriteSteps {
public:
    explicit CopyWatchingSteps(std::string copy) : copy_(std::move(copy)) {}
    int failureAt(FileWriteStep step) override {
        if (step == FileWriteStep::Write) {
            copyAtWrite = fileText(copy_);
        }
        return 0;
    }
    std::string copyAtWrite;

private:
    std::string copy_;
};

TEST_F(EditorFilesTest, AFileWrittenInPlaceHasItsTextInTheRecoveryCopyFirst) {
    const std::string file = folder_.path() + "/level.lvl";
    const std::string other = folder_.path() + "/same level.lvl";
    std::ofstream(file, std::ios::binary) << "# Old\n002 001 002\nE0\np0\n";
    ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);  // a hard link: a rename would break it
    const std::string copy = recoveryPathFor(file, folder_.path() + "/state");
    auto opened = std::get<OpenedLevel>(openLevelFile(file, editor::kNewLevelSizes));
    editor::EditorSession editor(std::move(opened.level));
    editor.handleKey('b');
    const std::string text = editor::levelFileText(editor.level());

    CopyWatchingSteps watching(copy);
    ASSERT_TRUE(saveLevelFile(file, editor.level(), copy, watching));
    EXPECT_EQ(watching.copyAtWrite, text);
    EXPECT_EQ(fileText(file), text);
    EXPECT_EQ(fileText(other), text);

    // A copy that cannot be written stops the write: the file stays as it was.
    editor.handleKey('b');
    std::ofstream(folder_.path() + "/blocker") << "a file where the state folder would be";
    const platform::FileWriteResult refused =
        saveLevelFile(file, editor.level(), recoveryPathFor(file, folder_.path() + "/blocker/state"));
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.problem.rfind("it must be written in place, and the recovery copy", 0), 0U)
        << refused.problem;
    EXPECT_EQ(fileText(other), text);
}

TEST_F(EditorFilesTest, AFileChangedOnDiskIsSeenWhateverItsSizeAndTime) {
    const std::string file = folder_.path() + "/level.lvl";
    const std::string text = "# Old\n002 001 002\nE0\np0\n";
    struct Case {
        const char* what;
        std::function<void()> change;  // after the file was read
        bool changed;
    };
    const auto sameTimeAs = [](const std::string& from, const std::string& to) {
        struct stat info {};
        ::stat(from.c_str(), &info);
        const timespec times[2] = {info.st_atim, info.st_mtim};
        ::utimensat(AT_FDCWD, to.c_str(), times, 0);
    };
    const std::string aside = folder_.path() + "/aside";
    const Case cases[] = {
        {"left alone", [] {}, false},
        {"new bytes of the same size, its time put back (cp -p)",
         [&] {
             std::ofstream(aside) << "";
             sameTimeAs(file, aside);
             std::fstream(file, std::ios::in | std::ios::out | std::ios::binary) << "# OLD";
             sameTimeAs(aside, file);
         },
         true},
        {"replaced by another file of the same size and time",
         [&] {
             std::ofstream(aside, std::ios::binary) << "# Old\n002 001 002\n0E\np0\n";
             sameTimeAs(file, aside);
             ::rename(aside.c_str(), file.c_str());
         },
         true},
        {"removed", [&] { ::unlink(file.c_str()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(file, std::ios::binary) << text;
        const auto opened = std::get<OpenedLevel>(openLevelFile(file, editor::kNewLevelSizes));
        ASSERT_TRUE(opened.stamp);
        EXPECT_EQ(opened.stamp, levelFileOnDisk(file));
        c.change();
        EXPECT_EQ(changedOnDisk(file, opened.stamp), c.changed);
    }
    // A level not yet saved: a file appearing at its name is a change.
    EXPECT_FALSE(changedOnDisk(file, std::nullopt));
    std::ofstream(file) << text;
    EXPECT_TRUE(changedOnDisk(file, std::nullopt));
}

TEST_F(EditorFilesTest, TheRecoveryCopyOfARunningEditorIsNotAnothersToTake) {
    const std::string file = folder_.path() + "/level.lvl";
    const std::string copy = recoveryPathFor(file, folder_.path() + "/state");
    auto first = lockRecoveryCopy(file, copy);
    ASSERT_TRUE(std::holds_alternative<platform::FileLock>(first));
    EXPECT_TRUE(std::get<platform::FileLock>(first).held());
    const auto second = lockRecoveryCopy(file, copy);
    ASSERT_TRUE(std::holds_alternative<std::string>(second));
    EXPECT_EQ(std::get<std::string>(second),
              "brickstorm: " + file +
                  ": being edited in another brickstorm (its recovery copy is that editor's); close that one "
                  "first, or edit a copy under another name\n");
    first = platform::FileLock{};  // the first editor ends
    EXPECT_TRUE(std::get<platform::FileLock>(lockRecoveryCopy(file, copy)).held());
    // Without a state folder there is no copy to protect, and nothing is refused.
    EXPECT_FALSE(std::get<platform::FileLock>(lockRecoveryCopy(file, "")).held());
}

TEST_F(EditorFilesTest, OpeningTellsANewLevelFromAFileAndRefusesAShapeProblem) {
    const auto fresh = std::get<OpenedLevel>(openLevelFile(folder_.path() + "/none.lvl", {4, 2, 3}));
    EXPECT_FALSE(fresh.exists);
    EXPECT_EQ(fresh.level, editor::EditedLevel::newLevel({4, 2, 3}));
    const std::string bad = folder_.path() + "/bad\x1b.lvl";
    std::ofstream(bad) << "001 001 001\nx\n";
    EXPECT_EQ(std::get<std::string>(openLevelFile(bad, {4, 2, 3})),
              "brickstorm: " + folder_.path() +
                  "/bad\\x1b.lvl:2:1: letter 'x' is not allowed: a cell is one of b, 0, E, p and e\n");
    EXPECT_EQ(std::get<std::string>(openLevelFile(folder_.path(), {4, 2, 3})),
              "brickstorm: " + folder_.path() + ": a directory, not a level file\n");
}

}  // namespace
}  // namespace brickstorm::app
