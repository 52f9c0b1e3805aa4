#include "support/pty_session.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <string>

namespace brickstorm::testing {
namespace {

// A program's last bytes may still be on their way through the terminal when it ends: once
// waitForExit has its status, the output must hold them all, however much came just before.
TEST(PtySession, OutputHoldsEverythingOnceTheProgramHasEnded) {
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        PtySession::Options options;
        options.program = "/bin/sh";
        options.arguments = {"-c", "head -c 200000 /dev/zero | tr '\\0' x; printf 'the last words'"};
        PtySession session(options);
        ASSERT_TRUE(session.started());
        const auto status = session.waitForExit();
        ASSERT_TRUE(status.has_value());
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
        const std::string output = session.output();
        EXPECT_EQ(output.size(), 200000U + 14U);
        ASSERT_TRUE(output.ends_with("xthe last words")) << output.substr(output.size() - 20);
    }
}

}  // namespace
}  // namespace brickstorm::testing
