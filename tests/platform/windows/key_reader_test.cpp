#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/terminal.h"
#include "tests/platform/windows/std_handles.h"
#include "tests/terminal/key_sequences.h"

namespace brickstorm::platform {
namespace {

using testing::Pipe;
using testing::StdHandleSwap;

// Only a guard against a reader that never returns, so that such a fault fails the test instead
// of hanging the run; no test depends on how long a read takes.
constexpr std::chrono::seconds kHangGuard{20};

// Reads `count` codes from a KeyReader on the pipe while the pipe stays open, the way keys
// arrive from a terminal that is still there. If the reader hangs, closing the pipe frees it.
std::vector<int> readWhileOpen(Pipe& pipe, std::size_t count) {
    std::vector<int> codes;
    std::promise<void> done;
    auto finished = done.get_future();
    std::thread reader([&] {
        KeyReader keys;
        while (codes.size() < count) {
            const auto code = keys.next();
            if (!code) {
                break;
            }
            codes.push_back(*code);
        }
        done.set_value();
    });
    if (finished.wait_for(kHangGuard) != std::future_status::ready) {
        ADD_FAILURE() << "the key reader did not return";
        pipe.closeWriteEnd();
    }
    reader.join();
    return codes;
}

std::vector<int> allCodes(KeyReader& keys) {
    std::vector<int> codes;
    while (const auto code = keys.next()) {
        codes.push_back(*code);
    }
    return codes;
}

TEST(WindowsKeyReader, PipedBytesGiveTheSameCodesAsATerminalElsewhere) {
    for (const auto& entry : testing::keySequenceCases()) {
        Pipe pipe;
        ASSERT_TRUE(pipe.valid());
        const StdHandleSwap input(STD_INPUT_HANDLE, pipe.readEnd());
        ASSERT_TRUE(pipe.send(entry.bytes));
        // A trailing lone Escape must arrive while the pipe is still open: the reader may wait
        // only briefly for the rest of a sequence.
        EXPECT_EQ(readWhileOpen(pipe, entry.codes.size()), entry.codes) << entry.name;
    }
}

TEST(WindowsKeyReader, TheConsolesOwnTwoCodeFormPassesAsItIs) {
    Pipe pipe;
    ASSERT_TRUE(pipe.valid());
    const StdHandleSwap input(STD_INPUT_HANDLE, pipe.readEnd());
    ASSERT_TRUE(pipe.send(std::string("\xE0K\xE0M", 4) + std::string(1, '\0') + ";w"));
    pipe.closeWriteEnd();
    KeyReader keys;
    EXPECT_EQ(allCodes(keys), (std::vector<int>{224, 75, 224, 77, 0, 59, 119}));
}

TEST(WindowsKeyReader, BytesThatTextModeWouldChangeArriveUnchanged) {
    // Carriage return and line feed, and Ctrl+Z, which a text-mode read takes for end of input.
    Pipe pipe;
    ASSERT_TRUE(pipe.valid());
    const StdHandleSwap input(STD_INPUT_HANDLE, pipe.readEnd());
    ASSERT_TRUE(
        pipe.send("a\r\nb\x1a"
                  "c"));
    pipe.closeWriteEnd();
    KeyReader keys;
    EXPECT_EQ(allCodes(keys), (std::vector<int>{'a', '\r', '\n', 'b', 26, 'c'}));
}

TEST(WindowsKeyReader, EndOfInputGivesNothingForGood) {
    Pipe pipe;
    ASSERT_TRUE(pipe.valid());
    const StdHandleSwap input(STD_INPUT_HANDLE, pipe.readEnd());
    ASSERT_TRUE(pipe.send("w\x1b"));
    pipe.closeWriteEnd();
    KeyReader keys;
    EXPECT_EQ(keys.next(), std::optional<int>(119));
    EXPECT_EQ(keys.next(), std::optional<int>(27));  // the Escape that input ended after
    EXPECT_EQ(keys.next(), std::nullopt);
    EXPECT_EQ(keys.next(), std::nullopt);
}

TEST(WindowsKeyReader, ReadsAFileGivenAsInput) {
    char directory[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, directory), 0U);
    ASSERT_NE(GetTempFileNameA(directory, "bsk", 0, path), 0U);
    const std::string bytes = "s\x1b[Dr\x1b";
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    {
        const StdHandleSwap input(STD_INPUT_HANDLE, handle);
        KeyReader keys;
        EXPECT_EQ(allCodes(keys), (std::vector<int>{115, 224, 75, 114, 27}));
    }
    CloseHandle(handle);
    DeleteFileA(path);
}

}  // namespace
}  // namespace brickstorm::platform
