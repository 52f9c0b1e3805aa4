// The editor's files under faults: whichever step of a save fails, the old file is left whole
// and every edit stays in the editor, and the recovery copy likewise; a file changed on disk is
// seen as changed.
#include "app/editor_files.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "editor/editor_session.h"
#include "editor/level_writing.h"
#include "support/temp_folder.h"

namespace brickstorm::app {
namespace {

using platform::FileWriteStep;

class FailingStep : public platform::FileWriteSteps {
public:
    explicit FailingStep(FileWriteStep step) : step_(step) {}
    int failureAt(FileWriteStep step) override { return step == step_ ? ENOSPC : 0; }

private:
    FileWriteStep step_;
};

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

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
        const platform::FileWriteResult result = saveLevelFile(file, editor.level(), failing);
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
