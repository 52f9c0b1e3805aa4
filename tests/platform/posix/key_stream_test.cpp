#include "platform/posix/key_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "tests/terminal/key_sequences.h"

namespace brickstorm::platform {
namespace {

// Input delivered in chosen pieces: each piece is what one read() returns; a pause is a wait
// that runs out; an interruption is a call cut short by a signal. After the script, the input
// has ended.
class ScriptedInput final : public SystemCalls {
public:
    struct Step {
        enum Kind { Bytes, Pause, Interruption } kind;
        std::string bytes;
    };

    explicit ScriptedInput(std::deque<Step> steps) : steps_(std::move(steps)) {}

    int poll(pollfd* fds, nfds_t, int timeoutMs) override {
        ++calls;
        waits.push_back(timeoutMs);
        while (!steps_.empty() && steps_.front().kind == Step::Pause && timeoutMs < 0) {
            steps_.pop_front();  // a pause between keys is only a longer wait for the next one
        }
        if (!steps_.empty() && steps_.front().kind == Step::Interruption) {
            steps_.pop_front();
            errno = EINTR;
            return -1;
        }
        if (!steps_.empty() && steps_.front().kind == Step::Pause) {
            steps_.pop_front();
            return 0;
        }
        fds[0].revents = steps_.empty() ? POLLHUP : POLLIN;
        return 1;
    }

    ssize_t read(int, void* buffer, std::size_t size) override {
        ++calls;
        if (!steps_.empty() && steps_.front().kind == Step::Interruption) {
            steps_.pop_front();
            errno = EINTR;
            return -1;
        }
        if (steps_.empty()) {
            return 0;
        }
        auto& piece = steps_.front().bytes;
        const std::size_t count = std::min(size, piece.size());
        std::memcpy(buffer, piece.data(), count);
        piece.erase(0, count);
        if (piece.empty()) {
            steps_.pop_front();
        }
        return static_cast<ssize_t>(count);
    }

    ssize_t write(int, const void*, std::size_t size) override { return static_cast<ssize_t>(size); }

    int calls = 0;
    std::vector<int> waits;

private:
    std::deque<Step> steps_;
};

using Step = ScriptedInput::Step;

std::vector<int> allCodes(KeyStream& keys) {
    std::vector<int> codes;
    while (const auto code = keys.next()) {
        codes.push_back(*code);
    }
    return codes;
}

std::vector<int> decodePieces(const std::vector<std::string>& pieces) {
    std::deque<Step> steps;
    for (const auto& piece : pieces) {
        steps.push_back({Step::Bytes, piece});
    }
    steps.push_back({Step::Pause, {}});
    ScriptedInput input(std::move(steps));
    KeyStream keys(0, input);
    return allCodes(keys);
}

TEST(KeyStream, DecodesTheSameHoweverTheBytesAreSplitIntoReads) {
    for (const auto& entry : testing::keySequenceCases()) {
        const std::string& bytes = entry.bytes;
        EXPECT_EQ(decodePieces({bytes}), entry.codes) << entry.name << ", one read";
        for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
            EXPECT_EQ(decodePieces({bytes.substr(0, cut), bytes.substr(cut)}), entry.codes)
                << entry.name << ", split after byte " << cut;
        }
        std::vector<std::string> single;
        for (const char byte : bytes) {
            single.emplace_back(1, byte);
        }
        EXPECT_EQ(decodePieces(single), entry.codes) << entry.name << ", a byte per read";
    }
}

// What one read gave waits together: the editor acts on all of it before it composes a picture.
TEST(KeyStream, TheCodesOfOneReadWaitTogether) {
    ScriptedInput input({{Step::Bytes, "\x1b[C"}, {Step::Bytes, "\x1b[C\x1b[Cb"}, {Step::Bytes, "q"}});
    KeyStream keys(0, input);
    std::vector<std::vector<int>> groups;
    std::vector<int> group;
    while (const auto code = keys.next()) {
        group.push_back(*code);
        if (!keys.waiting()) {
            groups.push_back(std::exchange(group, {}));
        }
    }
    EXPECT_EQ(groups, (std::vector<std::vector<int>>{{224, 77}, {224, 77, 224, 77, 98}, {113}}));
}

TEST(KeyStream, WaitsBrieflyOnlyInsideASequence) {
    ScriptedInput input({{Step::Bytes, "a"}, {Step::Bytes, "\x1b"}, {Step::Pause, {}}, {Step::Bytes, "b"}});
    KeyStream keys(0, input);
    EXPECT_EQ(allCodes(keys), (std::vector<int>{97, 27, 98}));
    ASSERT_GE(input.waits.size(), 3U);
    EXPECT_LT(input.waits[0], 0);  // before "a": no hurry
    EXPECT_LT(input.waits[1], 0);  // before ESC: no hurry
    EXPECT_GT(input.waits[2], 0);  // after ESC: a short wait that can run out
    EXPECT_LE(input.waits[2], kLoneEscapeWait.count());
    EXPECT_LT(input.waits[3], 0);  // after the lone Escape: no hurry again
}

TEST(KeyStream, RetriesWhatASignalInterrupted) {
    ScriptedInput input({{Step::Interruption, {}},
                         {Step::Bytes, "\x1b["},
                         {Step::Interruption, {}},
                         {Step::Interruption, {}},
                         {Step::Bytes, "D"},
                         {Step::Interruption, {}},
                         {Step::Bytes, "x"}});
    KeyStream keys(0, input);
    EXPECT_EQ(allCodes(keys), (std::vector<int>{224, 75, 120}));
}

TEST(KeyStream, AnEscapeRightBeforeTheEndIsStillAKey) {
    ScriptedInput input({{Step::Bytes, "w\x1b"}});
    KeyStream keys(0, input);
    EXPECT_EQ(allCodes(keys), (std::vector<int>{119, 27}));
}

TEST(KeyStream, AfterTheEndItAnswersAtOnceWithoutReading) {
    ScriptedInput input({{Step::Bytes, "a"}});
    KeyStream keys(0, input);
    EXPECT_EQ(keys.next(), 97);
    EXPECT_EQ(keys.next(), std::nullopt);
    const int callsAtEnd = input.calls;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(keys.next(), std::nullopt);
    }
    EXPECT_EQ(input.calls, callsAtEnd);
}

// The same on a real pipe, with real waits: a lone Escape is told from a sequence by the pause
// after it, and the writer closing its end ends the input.
TEST(KeyStream, ReadsAPipe) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    KeyStream keys(ends[0], systemCalls());
    ASSERT_EQ(::write(ends[1], "\x1b[Cq\x1b", 5), 5);
    EXPECT_EQ(keys.next(), 224);
    EXPECT_EQ(keys.next(), 77);
    EXPECT_EQ(keys.next(), 113);
    EXPECT_EQ(keys.next(), 27);  // nothing followed within the wait
    ASSERT_EQ(::write(ends[1], "\x1bOD", 3), 3);
    ::close(ends[1]);
    EXPECT_EQ(keys.next(), 224);
    EXPECT_EQ(keys.next(), 75);
    EXPECT_EQ(keys.next(), std::nullopt);
    EXPECT_EQ(keys.next(), std::nullopt);
    ::close(ends[0]);
}

TEST(KeyStream, AClosedDescriptorIsTheEndNotASpin) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    ::close(ends[1]);
    KeyStream keys(ends[0], systemCalls());
    EXPECT_EQ(keys.next(), std::nullopt);
}

// The wake-up of an ending request: a pipe, each byte one request, as the session writes it.
class KeyStreamWakeUp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::pipe(input_), 0);
        ASSERT_EQ(::pipe(wakeUp_), 0);
        ASSERT_EQ(::fcntl(wakeUp_[0], F_SETFL, O_NONBLOCK), 0);
    }
    void TearDown() override {
        for (const int fd : {input_[0], input_[1], wakeUp_[0], wakeUp_[1]}) {
            ::close(fd);
        }
    }
    void type(std::string_view keys) const {
        ASSERT_EQ(::write(input_[1], keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    void request() const { ASSERT_EQ(::write(wakeUp_[1], "r", 1), 1); }

    int input_[2]{-1, -1};
    int wakeUp_[2]{-1, -1};
};

// A request does not wait behind keys typed before it, and each is handed out once.
TEST_F(KeyStreamWakeUp, EachRequestComesOnceAndBeforeTheKeysWaiting) {
    KeyStream keys(input_[0], systemCalls(), wakeUp_[0]);
    type("ab");
    EXPECT_EQ(keys.next(), 97);
    request();
    request();
    EXPECT_EQ(keys.next(), kEndingRequestKey);
    EXPECT_EQ(keys.next(), kEndingRequestKey);
    EXPECT_EQ(keys.next(), 98);
}

// A reader waiting for a key that does not come is woken by a request.
TEST_F(KeyStreamWakeUp, WakesAReaderThatWaitsForAKey) {
    KeyStream keys(input_[0], systemCalls(), wakeUp_[0]);
    auto next = std::async(std::launch::async, [&] { return keys.next(); });
    request();
    // A limit for a hung reader, not an expectation of speed.
    ASSERT_EQ(next.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "not woken";
    EXPECT_EQ(next.get(), kEndingRequestKey);
    type("q");
    EXPECT_EQ(keys.next(), 113);
}

}  // namespace
}  // namespace brickstorm::platform
