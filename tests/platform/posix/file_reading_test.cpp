#include "platform/file_reading.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>

#include "support/temp_folder.h"

namespace brickstorm::platform {
namespace {

// A scratch folder of the test's own, removed with what it holds.
class FileReadingTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder_.path() + "/" + name; }

    // Reads `name` whole, or stops after `limit` bytes.
    FileReadResult readAll(const std::string& name, std::string& text, std::size_t limit = 1U << 30) {
        return readFilePieces(name, [&](std::string_view piece) {
            text += piece;
            return text.size() < limit;
        });
    }

    const testing::TempFolder folder_{"brickstorm-files-"};
};

TEST_F(FileReadingTest, AFileIsReadWhole) {
    const std::string name = path("a.lvl");
    const std::string content(200000, 'b');
    std::ofstream(name, std::ios::binary) << content;
    std::string text;
    EXPECT_EQ(readAll(name, text).status, FileReadStatus::Read);
    EXPECT_EQ(text, content);
}

TEST_F(FileReadingTest, MissingDirectoryAndUnreadableAreTold) {
    std::string text;
    EXPECT_EQ(readAll(folder_.path() + "/none.lvl", text).status, FileReadStatus::Missing);
    EXPECT_EQ(readAll(folder_.path() + "/none/a.lvl", text).status, FileReadStatus::Missing);
    EXPECT_EQ(readAll(folder_.path(), text).status, FileReadStatus::Directory);
    if (::geteuid() != 0) {  // the superuser reads anything
        const std::string name = path("locked.lvl");
        std::ofstream(name) << "x";
        ::chmod(name.c_str(), 0);
        const FileReadResult result = readAll(name, text);
        EXPECT_EQ(result.status, FileReadStatus::Unreadable);
        EXPECT_EQ(result.reason, "Permission denied");
    }
    EXPECT_TRUE(text.empty());
}

TEST_F(FileReadingTest, AnEndlessDeviceStopsWhenTheReaderDoes) {
    std::string text;
    EXPECT_EQ(readAll("/dev/zero", text, 100).status, FileReadStatus::Stopped);
    EXPECT_LE(text.size(), std::size_t{1} << 16);
}

// Told at once rather than waited for, and not as "empty", which it may not be once written.
TEST_F(FileReadingTest, ANamedPipeWithoutAWriterIsToldAsSuch) {
    const std::string name = path("pipe");
    ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
    std::string text;
    const FileReadResult result = readAll(name, text);
    EXPECT_EQ(result.status, FileReadStatus::Unreadable);
    EXPECT_NE(result.reason.find("no program writes to"), std::string::npos) << result.reason;
    EXPECT_TRUE(text.empty());
}

}  // namespace
}  // namespace brickstorm::platform
