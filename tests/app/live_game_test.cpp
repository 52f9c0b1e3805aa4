#include "app/live_game.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "recording/recording.h"
#include "screens/screens.h"
#include "support/null_console.h"

namespace brickstorm::app {
namespace {

// The recording file as a test sees it: what reached it, write by write, and a disk that can be
// made to fill up.
struct FakeFile {
    platform::AppendResult append(std::string_view bytes) {
        writes.emplace_back(bytes);
        if (roomLeft >= bytes.size()) {
            roomLeft -= bytes.size();
            text += bytes;
            return {bytes.size(), {}};
        }
        const std::size_t added = roomLeft;
        text += bytes.substr(0, added);
        roomLeft = 0;
        return {added, "cannot add to the file: No space left on device"};
    }
    std::string text;
    std::vector<std::string> writes;
    std::size_t roomLeft = std::string::npos;
};

class LiveGameTest : public ::testing::Test {
protected:
    LiveGameTest() {
        RecordingHeader header;
        header.program = "test";
        live.record(header, [this](std::string_view bytes) { return file.append(bytes); });
    }

    void render() { drawScreens(state, stateLock, console); }
    void tick(int count) {
        for (int i = 0; i < count; ++i) {
            live.tick();
        }
    }

    GameState state;
    std::mutex stateLock;
    testing::NullConsole console;
    LiveGame live{state, stateLock};
    FakeFile file;
};

TEST_F(LiveGameTest, LinesReachTheFileOnceASecondAndAtTheEnd) {
    tick(1);
    render();
    live.key('x');
    tick(18);
    EXPECT_TRUE(file.writes.empty()) << "the header is in the file already; the key waits";
    tick(1);
    ASSERT_EQ(file.writes.size(), 1U);
    EXPECT_TRUE(file.writes[0].starts_with("key 1 120  # x\nstate 20 ")) << file.writes[0];
    live.key('x');  // the level screen is not drawn yet: nothing to record
    tick(5);
    live.finish();
    ASSERT_EQ(file.writes.size(), 2U);
    EXPECT_EQ(file.writes[1], "end 25\n");
}

TEST_F(LiveGameTest, WhatAFullDiskRefusesIsKeptAndWrittenLater) {
    tick(1);
    render();
    live.key('x');
    file.roomLeft = 5;  // "key 1" of "key 1 120"
    tick(19);
    EXPECT_EQ(live.writeProblem(), "cannot add to the file: No space left on device");
    file.roomLeft = std::string::npos;
    tick(20);
    EXPECT_EQ(live.writeProblem(), "");
    EXPECT_TRUE(file.text.starts_with("key 1 120  # x\nstate 20 ")) << file.text;
    EXPECT_NE(file.text.find("\nstate 40 "), std::string::npos) << file.text;
    EXPECT_EQ(file.text.find("state 20", 1), file.text.rfind("state 20")) << "nothing is written twice";
}

}  // namespace
}  // namespace brickstorm::app
