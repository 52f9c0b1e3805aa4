#include "recording/recorder.h"

#include <gtest/gtest.h>

#include <string>

#include "core/key_codes.h"
#include "support/recorded_run.h"

namespace brickstorm {
namespace {

using testing::RecordedRun;

constexpr const char* kBuiltInHeader = "brickstorm-recording 2\nprogram test\nlevels built-in\nstart 1\n";

TEST(RecorderTest, KeysAtTheirTicksAndAStateEverySecond) {
    RecordedRun play;
    play.tick();
    play.render();
    play.tick(4);
    play.press('x');
    play.render();
    play.press('x');
    play.tick(15);
    play.press('w');
    play.press('w');  // a step is under way: nothing, but it reached the rules
    play.tick(20);
    const std::string text = play.text();
    const std::string body = text.substr(std::string(kBuiltInHeader).size());
    ASSERT_TRUE(text.starts_with(kBuiltInHeader)) << text;
    EXPECT_EQ(body.substr(0, body.find("state")), "key 5 120  # x\nkey 5 120  # x\n");
    const std::size_t second = body.find('\n', body.find("state 20 ")) + 1;
    EXPECT_EQ(body.substr(second),
              "key 20 119  # w\nkey 20 119  # w\nstate 40 " + hashText(play.hashes.hashes[39]) + "\nend 40\n");
}

TEST(RecorderTest, APrefixAndTheCodeRightAfterItShareALine) {
    RecordingHeader header;
    Recorder recorder(header);
    static_cast<void>(recorder.takeLines());
    const GameState state;
    recorder.keyHandled(7, kNavigationKeyPrefix, state);
    recorder.keyHandled(7, kRightArrowCode, state);
    recorder.keyHandled(7, kFunctionKeyPrefix, state);  // alone: the next code comes after a tick
    recorder.ticked(8, false, state);
    recorder.keyHandled(8, 119, state);
    recorder.keyHandled(8, kNavigationKeyPrefix, state);
    recorder.keyHandled(8, kNavigationKeyPrefix, state);  // a prefix after a prefix: the pair
    recorder.keyHandled(8, kNavigationKeyPrefix, state);
    EXPECT_EQ(recorder.takeLines(),
              "key 7 224 77  # Right\nkey 7 0\nkey 8 119  # w\nkey 8 224 224\nkey 8 224\n");
}

TEST(RecorderTest, LinesAreDueWithEachStateLine) {
    GameState state;
    GameRun run(state);
    Recorder recorder(RecordedRun::builtInHeader());
    run.watch(recorder);
    for (int tick = 1; tick <= 2 * kStateLineTicks; ++tick) {
        run.tick();
        EXPECT_EQ(recorder.flushDue(), tick % kStateLineTicks == 0) << tick;
        if (recorder.flushDue()) {
            EXPECT_TRUE(recorder.takeLines().ends_with("\n"));
        }
    }
    recorder.end(run.ticks());
    EXPECT_TRUE(recorder.flushDue());
    EXPECT_EQ(recorder.takeLines(), "end 40\n");
}

}  // namespace
}  // namespace brickstorm
